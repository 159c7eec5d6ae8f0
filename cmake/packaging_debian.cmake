# The Debian package tensovia_<version>_amd64.deb: the program and the simulator, the desktop
# entry, the icon, the AppStream metadata, a manual page for each program and the package's
# documents. scripts/package.sh builds it; the version is the project's.

include(GNUInstallDirs)

set(TENSOVIA_APP_ID org.tensovia.tensovia)
set(TENSOVIA_HOMEPAGE "https://tensovia.example.org" CACHE STRING
    "Home page named in the package and in its AppStream metadata")
set(TENSOVIA_MAINTAINER "Tensovia developers <developers@tensovia.example.org>" CACHE STRING
    "Maintainer of the Debian package")

# scripts/package.sh builds the two programs before it packages them; installing needs no more
# than they do, not every test and benchmark of the tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)
# Dates honour SOURCE_DATE_EPOCH, so that a package can be built again bit for bit.
string(TIMESTAMP TENSOVIA_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TENSOVIA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

# Manual pages and the changelog go in compressed, without a time stamp in the gzip header.
function(tensovia_gzipped template output)
  configure_file(${template} ${generated}/${output} @ONLY)
  execute_process(
    COMMAND gzip -9nf ${generated}/${output}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${generated}/${output}")
  endif()
endfunction()

install(TARGETS tensovia tensovia-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/${TENSOVIA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${TENSOVIA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${packaging}/${TENSOVIA_APP_ID}.metainfo.xml.in
               ${generated}/${TENSOVIA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${TENSOVIA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(program tensovia tensovia-sim)
  tensovia_gzipped(${packaging}/${program}.1.in ${program}.1)
  install(FILES ${generated}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
tensovia_gzipped(${packaging}/changelog.in changelog)
install(FILES ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tensovia)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tensovia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tensovia developers")
set(CPACK_PACKAGE_CONTACT ${TENSOVIA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "commission and monitor HART pressure transmitters")
set(CPACK_PACKAGE_DESCRIPTION
    "Tensovia is the HART master on a serial line with a HART modem: it frames
requests to digital pressure transmitters, keys the modem around them, checks
the answers, decodes them into tables and traces every frame. It reads and
writes one transmitter at a time, or polls up to ten with a status lamp each
and writes protocol files. Its window is in Russian.
.
The package also holds tensovia-sim, simulated transmitters behind a
pseudo-terminal, for trying the program without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TENSOVIA_HOMEPAGE})
# The libraries the programs link come from dpkg-shlibdeps; Qt loads its platform plugins and
# the translations of its own texts at run time, so those are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)
