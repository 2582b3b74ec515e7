# Third-party libraries for a cross build. The build machine's binary
# libraries do not fit the target, and its /usr/include as a whole holds the
# build machine's C library, so nothing of them is used directly.
include(FetchContent)

# Header-only libraries: only their own header folder is made visible, and
# find_package(<name>) is redirected to an imported target on it.
set(VORNAK_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
function(vornak_host_header_library package target folder)
  if(NOT EXISTS /usr/include/${folder})
    return()
  endif()
  file(MAKE_DIRECTORY ${VORNAK_HOST_HEADERS})
  file(CREATE_LINK /usr/include/${folder} ${VORNAK_HOST_HEADERS}/${folder} SYMBOLIC)
  string(TOLOWER ${package} lower)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config.cmake
    "if(NOT TARGET ${target})\n"
    "  add_library(${target} INTERFACE IMPORTED)\n"
    "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${VORNAK_HOST_HEADERS})\n"
    "endif()\n")
endfunction()
vornak_host_header_library(CLI11 CLI11::CLI11 CLI)

# GoogleTest is compiled from its sources with the cross compiler.
if(VORNAK_BUILD_TESTS)
  set(VORNAK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  FetchContent_Declare(GTest SOURCE_DIR ${VORNAK_GOOGLETEST_SOURCE} SYSTEM OVERRIDE_FIND_PACKAGE)
  FetchContent_MakeAvailable(GTest)
endif()
