# The battery's harness and the groups that run both natively and against the DLL under Wine.
set(reliability_dir ${CMAKE_SOURCE_DIR}/tests/reliability)
set(reliability_harness ${reliability_dir}/harness/Harness.cpp ${reliability_dir}/harness/PluginHost.cpp
                        ${reliability_dir}/harness/Analysis.cpp
                        ${CMAKE_SOURCE_DIR}/effect/StateChunk.cpp)
set(reliability_shared_groups
    ${reliability_dir}/groups/CallOrderTest.cpp
    ${reliability_dir}/groups/StringBoundsTest.cpp
    ${reliability_dir}/groups/NumericsTest.cpp
    ${reliability_dir}/groups/BlocksRatesTest.cpp
    ${reliability_dir}/groups/InstancesTest.cpp)
