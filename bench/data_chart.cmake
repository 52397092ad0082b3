# bench_data_chart: a chart made from an area's data in memory (NetCDF answer decoded, chart
# made, GIF written) next to decoding a 1024 x 1024 chart GIF, in the same run; and one area's
# box read from a file of MUR's global size.
if(TARGET thalwise_sst AND TARGET thalwise_netcdf_writer)
  add_executable(bench_data_chart ${CMAKE_CURRENT_LIST_DIR}/data_chart.cpp)
  target_compile_definitions(bench_data_chart PRIVATE
    THALWISE_SAMPLE_CHART="${CMAKE_CURRENT_LIST_DIR}/../resources/samples/area-ne01.gif")
  target_link_libraries(bench_data_chart PRIVATE thalwise_sst thalwise_netcdf_writer
    benchmark::benchmark)
endif()
