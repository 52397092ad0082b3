# bench_flip: "Flip latest charts" over an archive of 90 charts of one area (the search, the
# ten kept charts decoded on every core) next to decoding those ten one after another, and the
# window's whole command until the first chart is on screen.
add_executable(bench_flip ${CMAKE_CURRENT_LIST_DIR}/flip.cpp)
target_include_directories(bench_flip PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../tests)
target_compile_definitions(bench_flip PRIVATE
  THALWISE_SAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/archive")
target_link_libraries(bench_flip PRIVATE thalwise_app thalwise_archive_decoding
  benchmark::benchmark)
