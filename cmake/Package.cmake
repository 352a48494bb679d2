# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh) makes
# orva32_<version>_amd64.deb from the install rules, with the shared-library dependencies
# computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orva32)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ORVA32")
set(CPACK_PACKAGE_CONTACT "ORVA32 developers <orva32@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "meter for the cost of dial-up connections and phone calls")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "meter for the cost of dial-up connections and phone calls\n\
ORVA32 watches the dial-up links and the modem's calls, meters each call by the\n\
tariff of its provider (charge ticks and cost), shows live counters in a small\n\
window and the tray, warns and hangs up at limits, and records every call in a\n\
connection log and a monthly bill. orva32cli runs the same logic without windows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform plugin and the TLS
# backend come with the Qt libraries below; Italian texts of Qt's own dialogs are recommended,
# and the system's trusted certificates, against which mail servers' TLS is verified. The
# keyring library opens libsecret when a Secret Service runs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6, libqt6network6, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, qt6-translations-l10n, xdg-utils, ca-certificates")
include(CPack)
