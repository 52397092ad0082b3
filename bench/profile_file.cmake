# bench_profile_file: reading an annotation INI file at the size limit (32 MiB) in the shapes that
# cost most (many sections, one section of many keys, the same section again and again, lines
# that name nothing, one long line) next to reading the same bytes with a plain line split.
add_executable(bench_profile_file ${CMAKE_CURRENT_LIST_DIR}/profile_file.cpp)
target_link_libraries(bench_profile_file PRIVATE thalwise_platform_core benchmark::benchmark)
