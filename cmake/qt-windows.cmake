# qt-windows.cmake - finds the Qt that scripts/build-qt-windows.sh built for Windows, and the host's tools for it
if(NOT RUPIKA_QT_WINDOWS)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-qt-windows.sh --dir
    OUTPUT_VARIABLE dir OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(RUPIKA_QT_WINDOWS ${dir} CACHE PATH "Qt built for Windows")
endif()
if(NOT EXISTS ${RUPIKA_QT_WINDOWS}/.built)
  message(FATAL_ERROR "No Qt for Windows in ${RUPIKA_QT_WINDOWS}: run scripts/setup-deps.sh windows")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${RUPIKA_QT_WINDOWS})
list(APPEND CMAKE_PREFIX_PATH ${RUPIKA_QT_WINDOWS})
# moc, rcc and uic are the host's, of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
