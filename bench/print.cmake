# bench_print: a chart printed on a 600-dpi page in bands, through a job that draws nothing and
# into a PDF file, next to the same picture scaled in one call and the PDF page that embeds the
# picture once, in the same run.
add_executable(bench_print ${CMAKE_CURRENT_LIST_DIR}/print.cpp)
target_link_libraries(bench_print PRIVATE thalwise_printing thalwise_platform benchmark::benchmark)
