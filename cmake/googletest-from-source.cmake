# The distribution's GoogleTest libraries are built for the host; a cross
# build compiles GoogleTest from its sources with the cross compiler and lets
# find_package(GTest) take those targets.
include(FetchContent)
set(VORNAK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
FetchContent_Declare(GTest SOURCE_DIR ${VORNAK_GOOGLETEST_SOURCE} SYSTEM OVERRIDE_FIND_PACKAGE)
FetchContent_MakeAvailable(GTest)
