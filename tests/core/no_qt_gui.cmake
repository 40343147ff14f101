# Fails when anything of Qt but QtCore reaches the core, which must build and run without a window.
file(GLOB_RECURSE sources "${DIR}/*.h" "${DIR}/*.cpp" "${DIR}/CMakeLists.txt")
foreach(f IN LISTS sources)
  file(STRINGS "${f}" hits REGEX "#[ \t]*include[ \t]*[<\"]Qt(Gui|Widgets)|#[ \t]*include[ \t]*[<\"]Q(Widget|Painter|Pixmap|Image|Color|Font|Application|GuiApplication|Screen)\\b|Qt6::(Gui|Widgets)|COMPONENTS[^)]*(Gui|Widgets)")
  if(hits)
    message(FATAL_ERROR "QtGui or QtWidgets reached the core: ${f}: ${hits}")
  endif()
endforeach()
