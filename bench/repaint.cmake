add_executable(bench_repaint repaint.cpp)
target_link_libraries(bench_repaint PRIVATE thalwise_display benchmark::benchmark)
