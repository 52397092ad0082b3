# bench_gif_decode: our GIF decoder against giflib's DGifSlurp on the same in-memory files.
# giflib is only the baseline here; the program never links it.
find_library(THALWISE_GIFLIB_LIBRARY gif)
find_path(THALWISE_GIFLIB_INCLUDE_DIR gif_lib.h)
if(TARGET thalwise_gif AND THALWISE_GIFLIB_LIBRARY AND THALWISE_GIFLIB_INCLUDE_DIR)
  add_executable(bench_gif_decode
    ${CMAKE_CURRENT_LIST_DIR}/gif_decode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../tests/gif/SyntheticChart.cpp)
  target_include_directories(bench_gif_decode PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/../tests/gif ${THALWISE_GIFLIB_INCLUDE_DIR})
  target_link_libraries(bench_gif_decode PRIVATE
    thalwise_gif ${THALWISE_GIFLIB_LIBRARY} benchmark::benchmark)
else()
  message(STATUS "bench_gif_decode skipped: needs thalwise_gif and giflib (libgif-dev)")
endif()
