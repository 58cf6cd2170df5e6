// The run tests drive the same scripted engine as the request-layer tests.
#include "../btr/scripted_engine.cpp"
