# Fails when a layer, or a test of it, reaches one above it: the core draws nothing (no Qt but QtCore)
# and includes only itself; the desktop layer knows nothing of the forms toolkit or the windows; the
# toolkit nothing of the windows. Usage: cmake -DROOT=<source tree> -P layers.cmake
set(above_core "#[ \t]*include[ \t]*\"(desktop|forms|windows)/|#[ \t]*include[ \t]*[<\"]Qt(Gui|Widgets)|#[ \t]*include[ \t]*[<\"]Q(Widget|Painter|Pixmap|Image|Color|Font|Application|GuiApplication|Screen)([^A-Za-z0-9_]|$)|Qt6::(Gui|Widgets)|COMPONENTS[^)]*(Gui|Widgets)")
set(above_desktop "#[ \t]*include[ \t]*\"(forms|windows)/|rupika_(forms|windows)")
set(above_forms "#[ \t]*include[ \t]*\"windows/|rupika_windows")
foreach(layer core desktop forms)
  file(GLOB_RECURSE sources "${ROOT}/${layer}/*" "${ROOT}/tests/${layer}/*") # sources, CMake, interfaces
  foreach(f IN LISTS sources)
    file(STRINGS "${f}" hits REGEX "${above_${layer}}")
    if(hits)
      message(FATAL_ERROR "${layer} reaches a layer above it: ${f}: ${hits}")
    endif()
  endforeach()
endforeach()
