# The Windows installer tensovia-<version>-win64.exe (NSIS) and the portable
# tensovia-<version>-win64.zip: tensovia.exe with the Qt and MinGW-w64 run-time DLLs it loads, the
# Windows platform plugin and style, qt.conf and Qt's Russian texts, all in one folder.
# scripts/package-windows.sh builds both; the version is the project's.

# scripts/package-windows.sh builds the program before it packages it; installing needs no more
# than that, not every test of the tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Where the cross compiler keeps a run-time DLL of its own (libstdc++, libgcc, winpthreads).
function(tensovia_mingw_dll name result)
  execute_process(
    COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
    OUTPUT_VARIABLE path
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  # A file it does not know comes back as the bare name.
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${name}")
  endif()
  file(REAL_PATH "${path}" path)
  set(${result} ${path} PARENT_SCOPE)
endfunction()

# Installs the DLLs into the folder and, as CPack asks (CPACK_STRIP_FILES), strips them as it
# strips the program: libstdc++ alone carries some 20 MB of debugging information.
function(tensovia_install_dlls destination)
  install(FILES ${ARGN} DESTINATION ${destination})
  foreach(dll ${ARGN})
    get_filename_component(name ${dll} NAME)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()")
  endforeach()
endfunction()

set(mingw_runtime "")
foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  tensovia_mingw_dll(${name} path)
  list(APPEND mingw_runtime ${path})
endforeach()

install(TARGETS tensovia RUNTIME DESTINATION .)
tensovia_install_dlls(. ${mingw_runtime})
set(qt ${TENSOVIA_QT_WINDOWS})
tensovia_install_dlls(. ${qt}/bin/Qt6Core.dll ${qt}/bin/Qt6Gui.dll ${qt}/bin/Qt6Widgets.dll
                      ${qt}/bin/Qt6Charts.dll)
tensovia_install_dlls(platforms ${qt}/plugins/platforms/qwindows.dll)
tensovia_install_dlls(styles ${qt}/plugins/styles/qwindowsvistastyle.dll)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION .)
install(FILES ${TENSOVIA_QT_TRANSLATIONS}/qtbase_ru.qm DESTINATION translations)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME tensovia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tensovia developers")
set(CPACK_PACKAGE_FILE_NAME tensovia-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)

# The installer: into Program Files\Tensovia (64-bit), a Start-menu folder "Тенсовия" with the
# program, an uninstaller listed among the installed programs. Its pages are Russian through the
# project's copy of CPack's NSIS template (cmake/NSIS.template.in).
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tensovia)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tensovia)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Тенсовия")
set(CPACK_NSIS_DISPLAY_NAME "Тенсовия")
set(CPACK_PACKAGE_EXECUTABLES tensovia "Тенсовия")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME tensovia.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/tensovia.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/windows/tensovia.ico)
# Else the installer asks to accept CPack's placeholder licence, an English text about CPack.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
include(CPack)
