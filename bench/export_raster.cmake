# bench_export_raster: the 1024 x 1024 sample chart written as KAP and as GeoTIFF (picture and
# temperature grid) next to writing the same picture as PNG with QImage::save, in the same run.
add_executable(bench_export_raster ${CMAKE_CURRENT_LIST_DIR}/export_raster.cpp)
target_compile_definitions(bench_export_raster PRIVATE
  THALWISE_SAMPLE_CHART="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/area-ne01.gif")
target_link_libraries(bench_export_raster PRIVATE thalwise_export benchmark::benchmark)
