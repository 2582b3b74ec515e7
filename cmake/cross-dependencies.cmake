# Third-party libraries for a cross build: the build machine's binary
# libraries do not fit the target. GoogleTest is compiled from its sources
# with the cross compiler, and find_package(GTest) takes those targets.
if(VORNAK_BUILD_TESTS)
  include(FetchContent)
  set(VORNAK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  FetchContent_Declare(GTest SOURCE_DIR ${VORNAK_GOOGLETEST_SOURCE} SYSTEM OVERRIDE_FIND_PACKAGE)
  FetchContent_MakeAvailable(GTest)
endif()
