# Installation: headers, both libraries, a CMake package (find_package(Mintu_Utilities)
# gives Mintu::Utilities) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(MINTU_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Mintu_Utilities)

install(TARGETS Mintu_Utilities Portability
  EXPORT Mintu_UtilitiesTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/mintu ${PROJECT_SOURCE_DIR}/port/include/port
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_BINARY_DIR}/include/mintu/Mintu_Export.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mintu)
install(FILES ${PROJECT_BINARY_DIR}/port/include/port/Port_Export.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/port)
install(EXPORT Mintu_UtilitiesTargets
  NAMESPACE Mintu::
  DESTINATION ${MINTU_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/Mintu_UtilitiesConfig.cmake.in
  ${PROJECT_BINARY_DIR}/Mintu_UtilitiesConfig.cmake
  INSTALL_DESTINATION ${MINTU_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Mintu_UtilitiesConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/Mintu_UtilitiesConfig.cmake
  ${PROJECT_BINARY_DIR}/Mintu_UtilitiesConfigVersion.cmake
  DESTINATION ${MINTU_CMAKE_DIR})

# The .pc file finds the prefix relative to its own folder, so the package
# can be installed anywhere (cmake --install --prefix ...).
file(RELATIVE_PATH MINTU_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file(${PROJECT_SOURCE_DIR}/cmake/mintu_utilities.pc.in
  ${PROJECT_BINARY_DIR}/mintu_utilities.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/mintu_utilities.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
