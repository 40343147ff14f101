# windows.cmake - the Windows installer (scripts/package.sh windows): the clock with the Qt and MinGW DLLs and
# the Qt plugins it loads, a Start-menu entry and an uninstaller, made by CPack's NSIS generator

# Qt loads its plugins by name at run time, so no scan of the program finds them: every plugin of the kinds
# the clock uses that this Qt has, beside the program, where Qt looks first.
get_directory_property(imported DIRECTORY ${PROJECT_SOURCE_DIR} IMPORTED_TARGETS)
set(plugins)
foreach(target ${imported})
  get_target_property(type ${target} QT_PLUGIN_TYPE)
  if(type MATCHES "^(platforms|styles|imageformats)$")
    get_target_property(location ${target} IMPORTED_LOCATION_RELEASE)
    install(FILES ${location} DESTINATION ${CMAKE_INSTALL_BINDIR}/${type})
    get_filename_component(name ${location} NAME)
    list(APPEND plugins ${CMAKE_INSTALL_BINDIR}/${type}/${name})
  endif()
endforeach()

# The DLLs the program and those plugins need, as their import tables name them: Qt's, and MinGW's run time
# (libstdc++, libgcc, winpthread, libssp for the stack protector).
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
  OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(gcc_dlls ${libgcc} DIRECTORY)
install(CODE "
  set(RUPIKA_DLL_FROM ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:rupika-tokei> ${plugins})
  set(RUPIKA_DLL_DIRS ${RUPIKA_QT_WINDOWS}/bin ${gcc_dlls} /usr/${RUPIKA_MINGW_TRIPLE}/lib)
  set(RUPIKA_OBJDUMP ${CMAKE_OBJDUMP})
  set(RUPIKA_STRIP ${CMAKE_STRIP})
  set(RUPIKA_BINDIR ${CMAKE_INSTALL_BINDIR})
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/windows-dlls.cmake)

set(CPACK_PACKAGE_NAME rupika-tokei)
set(CPACK_PACKAGE_VENDOR "The ルピカ時計 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop alarm clock with a Japanese interface")
set(CPACK_PACKAGE_FILE_NAME rupika-tokei-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ルピカ時計)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS)
# A 64-bit installer into the 64-bit Program Files: the program is 64-bit, and CPack's default is 32.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME ルピカ時計)
set(CPACK_NSIS_DISPLAY_NAME ルピカ時計)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/app.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${CMAKE_INSTALL_BINDIR}\\\\rupika-tokei.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entry, under the program's name, with the program's own icon.
set(CPACK_PACKAGE_EXECUTABLES rupika-tokei ルピカ時計)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
include(CPack)
