# Typed reads, seal opening, table loading and Ed25519 over arbitrary bytes; seeds in tests/data/fuzz/<target>/.
foreach(name FuzzTypedStream FuzzSealedStream FuzzDataRecords FuzzEd25519)
  marlowen_fuzzer(${name})
endforeach()
