# Typed reads, seal opening and table loading over arbitrary bytes; seeds in tests/data/fuzz/<target>/.
foreach(name FuzzTypedStream FuzzSealedStream FuzzDataRecords)
  marlowen_fuzzer(${name})
endforeach()
