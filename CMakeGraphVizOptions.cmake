# `cmake --graphviz=layers.dot <build>` draws the program's layers as the
# README's layout table shows them: the five libraries and the executable,
# without the tests, benchmarks, build tools and outside libraries.
set(GRAPHVIZ_GRAPH_NAME "childgrowth")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_INTERFACE_LIBS FALSE)
set(GRAPHVIZ_CUSTOM_TARGETS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^tst_" "^fuzz_" "_bench$" "^cg_testsupport" "^makedb$" "^dbholder$" "^startup_probe$"
  "^cg_apprun$" "^cgdriver$" "^drawart$" "^fixedrandom$")
