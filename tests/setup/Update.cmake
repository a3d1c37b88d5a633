# Update packages, update actions and the "/update" flow.
list(APPEND sources UpdatePackageTest.cpp UpdateFlowTest.cpp ProgramArgumentsTest.cpp)
