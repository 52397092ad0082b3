# The encoder's round trip through our decoder, and our decoder against giflib.
thalwise_add_test(NAME gif_encoder_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EncoderTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SyntheticChart.cpp
  LIBS thalwise_gif thalwise_geo)

# giflib is a test-only oracle: the program never links it.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(THALWISE_GIFLIB QUIET IMPORTED_TARGET libgif)
endif()
if(TARGET PkgConfig::THALWISE_GIFLIB)
  set(thalwise_giflib PkgConfig::THALWISE_GIFLIB)
else()
  find_library(THALWISE_GIFLIB_LIBRARY gif)
  find_path(THALWISE_GIFLIB_INCLUDE_DIR gif_lib.h)
  if(THALWISE_GIFLIB_LIBRARY AND THALWISE_GIFLIB_INCLUDE_DIR)
    add_library(thalwise_giflib_oracle INTERFACE)
    target_include_directories(thalwise_giflib_oracle INTERFACE ${THALWISE_GIFLIB_INCLUDE_DIR})
    target_link_libraries(thalwise_giflib_oracle INTERFACE ${THALWISE_GIFLIB_LIBRARY})
    set(thalwise_giflib thalwise_giflib_oracle)
  endif()
endif()
if(thalwise_giflib)
  thalwise_add_test(NAME gif_differential_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DifferentialTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SyntheticChart.cpp
    LIBS thalwise_gif ${thalwise_giflib})
else()
  message(STATUS "gif_differential_test skipped: giflib (libgif-dev) not found")
endif()

# Inputs the fuzzer once crashed on, replayed on every test run.
thalwise_add_test(NAME gif_fuzz_findings_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/../../fuzz/FindingsTest.cpp
  LIBS thalwise_gif)
