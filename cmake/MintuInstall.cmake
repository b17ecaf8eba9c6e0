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
# Port_Jni.h serves the library's own JNI functions only and needs the JDK's
# headers, so it stays out of the installed tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/mintu ${PROJECT_SOURCE_DIR}/port/include/port
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} PATTERN Port_Jni.h EXCLUDE)
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

# The .pc file names the prefix it is installed under, found at install time
# (cmake --install --prefix ... included) and normalised, so that the library
# folder it gives, which lands in programs' run-time paths, is a plain one.
set(MINTU_PC_PREFIX "@MINTU_PC_PREFIX@")  # filled in at install time
configure_file(${PROJECT_SOURCE_DIR}/cmake/mintu_utilities.pc.in
  ${PROJECT_BINARY_DIR}/mintu_utilities.pc.in @ONLY)
install(CODE "
  get_filename_component(MINTU_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  cmake_path(NORMAL_PATH MINTU_PC_PREFIX)
  string(REGEX REPLACE \"(.)/$\" \"\\\\1\" MINTU_PC_PREFIX \"\${MINTU_PC_PREFIX}\")
  set(pc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/mintu_utilities.pc\")
  message(STATUS \"Installing: \${pc}\")
  configure_file(\"${PROJECT_BINARY_DIR}/mintu_utilities.pc.in\" \"\${pc}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${pc}\")
")
