# bench_export_tiles: the 1024 x 1024 sample chart written as MBTiles of every zoom and as KMZ,
# next to writing it once as PNG, in the same run.
add_executable(bench_export_tiles ${CMAKE_CURRENT_LIST_DIR}/export_tiles.cpp)
target_compile_definitions(bench_export_tiles PRIVATE
  THALWISE_SAMPLE_CHART="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/area-ne01.gif")
target_link_libraries(bench_export_tiles PRIVATE thalwise_export benchmark::benchmark)
