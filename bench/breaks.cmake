# bench_breaks: the break layer of a 1024 x 1024 sample chart (temperature of every pixel,
# smoothing, gradient in miles, thin lines) and its whole break lines, next to reading the same
# pixels one pointer reading at a time, in the same run.
add_executable(bench_breaks ${CMAKE_CURRENT_LIST_DIR}/breaks.cpp)
target_compile_definitions(bench_breaks PRIVATE
  THALWISE_SAMPLE_CHART="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/area-ne01.gif")
target_link_libraries(bench_breaks PRIVATE thalwise_geo benchmark::benchmark)
