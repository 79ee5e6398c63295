// The same POSIX peer as the platform socket tests use.
#include "tests/platform/winsock/posix_peer.cpp"
