# bench_pointer: the work of one pointer move over a chart (position, temperature, the four
# status texts) next to a bare read of the same 15 pixels, in the same run.
add_executable(bench_pointer ${CMAKE_CURRENT_LIST_DIR}/pointer.cpp)
target_compile_definitions(bench_pointer PRIVATE
  THALWISE_PALETTE_FILE="${CMAKE_CURRENT_LIST_DIR}/../src/resources/TEXTPALETTE6C.txt")
target_link_libraries(bench_pointer PRIVATE thalwise_app thalwise_geo benchmark::benchmark)
