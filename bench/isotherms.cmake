# bench_isotherms: isotherms every 2 °F over the 1024 x 1024 sample chart next to the break layer
# of the same chart, in the same run.
add_executable(bench_isotherms ${CMAKE_CURRENT_LIST_DIR}/isotherms.cpp)
target_compile_definitions(bench_isotherms PRIVATE
  THALWISE_SAMPLE_CHART="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/area-ne01.gif")
target_link_libraries(bench_isotherms PRIVATE thalwise_geo benchmark::benchmark)
