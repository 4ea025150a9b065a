# Windows: what vornwick.exe needs beside it, both in the build's bin/ (so
# that the program and the window tests run from there) and in the zip that
# users download: the Qt DLLs, the platform and style plugins, the mingw-w64
# runtime DLLs, and the licence texts of what we ship.

get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _qt_core_dll)
  get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(_qt_bin ${_qt_core_dll} DIRECTORY)
get_filename_component(_qt_prefix ${_qt_bin} DIRECTORY)

set(_dlls ${_qt_bin}/Qt6Core.dll ${_qt_bin}/Qt6Gui.dll ${_qt_bin}/Qt6Widgets.dll)
if(MINGW)
  foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    if(EXISTS ${_qt_bin}/${_dll})
      list(APPEND _dlls ${_qt_bin}/${_dll})
    else()
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                      OUTPUT_VARIABLE _found OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(EXISTS "${_found}")
        list(APPEND _dlls ${_found})
      endif()
    endif()
  endforeach()
endif()
set(_platforms ${_qt_prefix}/plugins/platforms/qwindows.dll
               ${_qt_prefix}/plugins/platforms/qoffscreen.dll)
set(_styles ${_qt_prefix}/plugins/styles/qwindowsvistastyle.dll)

set(_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
add_custom_target(vorn_qt_runtime
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_bin}/platforms ${_bin}/styles
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_dlls} ${_bin}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_platforms} ${_bin}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_styles} ${_bin}/styles
  COMMENT "Qt and runtime DLLs beside the programs")
add_dependencies(vorn_window vorn_qt_runtime)

# The zip: Vornwick-<version>-win64.zip
install(TARGETS vornwick RUNTIME DESTINATION .)
install(FILES ${_dlls} DESTINATION .)
install(FILES ${_qt_prefix}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${_styles} DESTINATION styles)
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/README.txt DESTINATION .)
set(_licences
    "/usr/share/common-licenses/LGPL-3\;Qt-LGPL-3.0.txt"
    "/usr/share/common-licenses/GPL-3\;Qt-GPL-3.0.txt"
    "/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright\;GCC-runtime.txt"
    "/usr/share/doc/mingw-w64-common/copyright\;mingw-w64-winpthreads.txt")
foreach(_pair ${_licences})
  list(GET _pair 0 _from)
  list(GET _pair 1 _to)
  if(EXISTS ${_from})
    install(FILES ${_from} DESTINATION licences RENAME ${_to})
  else()
    message(WARNING "licence text ${_from} not found; the zip goes without it")
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vornwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Vornwick-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
