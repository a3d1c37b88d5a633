# The update flow: the package codec, the actions, and the "/update" flow itself.
list(APPEND sources UpdatePackage.cpp UpdateAction.cpp UpdateFlow.cpp ProgramArguments.cpp)
