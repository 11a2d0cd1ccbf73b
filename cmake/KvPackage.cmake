# What an installation holds, and the Debian package made of it:
#     cmake --build build --target package      (writes build/kvcob_VERSION-1_ARCH.deb)
# Only the three programs and their data go in: tests, benchmarks and tools stay in the build.

set(KV_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KV_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(KV_DEB_RELEASE 1)
set(KV_MAINTAINER "Equipe kvcob <kvcob@ravessa.com.br>")

set(KV_INSTALLED_PROGRAMS kvcob kvcob-lote kvcob-gera-exemplo)
install(TARGETS ${KV_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relocations resolved at start and then made read-only, as Debian builds its programs.
foreach(program ${KV_INSTALLED_PROGRAMS})
  target_link_options(${program} PRIVATE LINKER:-z,relro LINKER:-z,now)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/exemplos/cobranca-exemplo.rem
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kvcob/exemplos)
install(FILES ${KV_PACKAGING}/kvcob.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KV_PACKAGING}/kvcob.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KV_PACKAGING}/kvcob-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME kvcob.png)
install(FILES ${KV_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KV_PACKAGING}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kvcob)
install(FILES ${KV_PACKAGING}/kvcob.conf.example
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples RENAME kvcob.conf)

# Manual pages and the changelog are compressed the Debian way (gzip -9n: no name, no
# time stamp), so that two builds of one version give the same bytes.
function(kv_gzip_install source destination)
  get_filename_component(name ${source} NAME)
  execute_process(COMMAND gzip -9n -c INPUT_FILE ${source}
                  OUTPUT_FILE ${KV_PACKAGING_OUT}/${name}.gz RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${source}: ${rc}")
  endif()
  install(FILES ${KV_PACKAGING_OUT}/${name}.gz DESTINATION ${destination})
endfunction()

file(MAKE_DIRECTORY ${KV_PACKAGING_OUT})
foreach(page kvcob kvcob-lote kvcob-gera-exemplo)
  configure_file(${KV_PACKAGING}/${page}.1 ${KV_PACKAGING_OUT}/man/${page}.1 @ONLY)
  kv_gzip_install(${KV_PACKAGING_OUT}/man/${page}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${KV_PACKAGING}/changelog.Debian.in ${KV_PACKAGING_OUT}/changelog.Debian @ONLY)
kv_gzip_install(${KV_PACKAGING_OUT}/changelog.Debian ${CMAKE_INSTALL_DOCDIR})

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "kvcob: the Debian package wants -DCMAKE_INSTALL_PREFIX=/usr "
                 "(now ${CMAKE_INSTALL_PREFIX})")
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvcob)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KV_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "emissor de bloquetos de cobrança bancária")
set(CPACK_PACKAGE_DESCRIPTION
    "Dizuvar id Azovadodu KV, o programa da cobrança do Banco Ravessa:
carrega o arquivo de títulos enviado pelo banco, confere cada título e
imprime os válidos como bloquetos, em folha solta A4 (com código de
barras e linha digitável) ou em formulário contínuo numa impressora
matricial, além do relatório dos títulos rejeitados.
Inclui kvcob-lote, que faz o mesmo trabalho sem janelas.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KV_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to the linker: the SQL drivers of the database alias,
# the toolkit's Portuguese texts. The JPEG reader and the window system plugins come with
# libqt6gui6, which the programs link; the linked libraries (libharfbuzz-subset0,
# libdeflate0 ...) are found by the package tools.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-translations-l10n")
include(CPack)
