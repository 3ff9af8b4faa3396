target_sources(humidora_bench PRIVATE ambient_bench.cpp)
