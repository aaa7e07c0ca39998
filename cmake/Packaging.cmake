# Installation and packages.
#
#   cmake --install build                 the tool, the demo marketplace, the
#                                         desktop entry, the icon and the README
#   (cd build && cpack)                   a .deb on Linux, an NSIS installer
#                                         and a ZIP on Windows
#
# On Linux the programs use the distribution's Qt, so the .deb depends on the
# runtime packages (found by dpkg-shlibdeps) plus what no library link names:
# WebEngine's helper process, Qt's Chinese translations and the SQLite driver. On Windows the
# install step runs windeployqt, which copies Qt, WebEngine and the Chinese
# translations beside the program.
include(GNUInstallDirs)

if(WIN32)
    set(LUMETRA_BIN_DIR .)
else()
    set(LUMETRA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
endif()

install(TARGETS lumetra-trades RUNTIME DESTINATION ${LUMETRA_BIN_DIR} COMPONENT tool)
if(WITH_DEMO)
    # A program of its own, named as what it is: a stand-in marketplace.
    install(TARGETS lumetra-demo-market RUNTIME DESTINATION ${LUMETRA_BIN_DIR} COMPONENT tool)
endif()

if(WIN32)
    install(FILES README.md DESTINATION . COMPONENT tool)
    # windeployqt sits in the Qt installation's bin folder.
    find_program(LUMETRA_WINDEPLOYQT windeployqt REQUIRED
        HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "$ENV{QT_ROOT_DIR}/bin")
    install(CODE "
        execute_process(
            COMMAND \"${LUMETRA_WINDEPLOYQT}\" --release --no-compiler-runtime --translations zh_CN
                    \"\${CMAKE_INSTALL_PREFIX}/lumetra-trades.exe\"
            RESULT_VARIABLE deploy_result)
        if(NOT deploy_result EQUAL 0)
            message(FATAL_ERROR \"windeployqt failed: \${deploy_result}\")
        endif()
    " COMPONENT tool)
    # The DLLs from vcpkg (ICU, libxlsxwriter, zlib) come along through the vcpkg
    # toolchain's X_VCPKG_APPLOCAL_DEPS_INSTALL (set by the Windows preset).
    set_target_properties(lumetra-trades PROPERTIES WIN32_EXECUTABLE ON)
else()
    install(FILES packaging/linux/lumetra-trades.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tool)
    install(FILES packaging/icons/lumetra-trades.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tool)
    install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumetra-trades COMPONENT tool)
endif()

set(CPACK_PACKAGE_NAME lumetra-trades)
set(CPACK_PACKAGE_VENDOR "Lumetra")
set(CPACK_PACKAGE_CONTACT "Lumetra Trades maintainers <lumetra-trades@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Taobao sold items to a shipping sheet (CSV or Excel)")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumetra Trades reads a Taobao seller's sold-items list and each trade's detail page in an embedded browser into a grid of trades with recipient, address and waybill, merges rows that ship together and exports the shipping sheet as CSV or an Excel workbook. Includes lumetra-demo-market, a local stand-in marketplace for trying the tool offline.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Lumetra Trades")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR NSIS ZIP)
    set(CPACK_PACKAGE_EXECUTABLES lumetra-trades "Lumetra Trades")
    set(CPACK_NSIS_DISPLAY_NAME "Lumetra Trades")
    set(CPACK_NSIS_PACKAGE_NAME "Lumetra Trades")
    set(CPACK_NSIS_INSTALLED_ICON_NAME lumetra-trades.exe)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/lumetra-trades")
    # Runtime libraries (Qt, WebEngine, ICU, libxlsxwriter, zlib) from the linked
    # shared objects; never the -dev packages the build needs.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Linked by nothing, needed all the same: Qt's Chinese texts for dialogs
    # and menus, Qt SQL's SQLite driver (a plugin) for the trade history, and
    # the CJK font the printed documents name.
    # (The browser's helper process, libqt6webenginecore6-bin, comes through
    # the WebEngine library's shlibs.)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6sql6-sqlite, fonts-noto-cjk, fonts-symbola")
endif()

include(CPack)
