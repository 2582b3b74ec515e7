# Installs the Linux programs with their desktop entries, icon and udev rule,
# and describes the Debian package that carries the same files.
include(GNUInstallDirs)

set(VORNAK_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
  "Where the udev rule goes; relative to the install prefix, or absolute (udev reads /usr/lib/udev/rules.d)")
set(VORNAK_LINUX_RES ${PROJECT_SOURCE_DIR}/src/res/linux)

install(TARGETS vornak-update vornak-update-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VORNAK_LINUX_RES}/vornak-update.desktop ${VORNAK_LINUX_RES}/vornak-update-demo.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/res/vornak.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${VORNAK_LINUX_RES}/70-vornak-controller.rules DESTINATION ${VORNAK_UDEV_RULES_DIR})

set(CPACK_PACKAGE_NAME vornak-update)
set(CPACK_PACKAGE_VENDOR "Vornak")
set(CPACK_PACKAGE_CONTACT "Vornak Update developers <vornak-update@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware updater for the Vornak game controller")
set(CPACK_PACKAGE_DESCRIPTION
  "Writes new firmware into the Vornak USB game controller in boot mode, from a window.\nA udev rule lets the user at the seat reach the controller without root.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Runtime libraries (Qt, hidapi, libudev) found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese instructions need a CJK font when SimSun is not installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VORNAK_LINUX_RES}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
