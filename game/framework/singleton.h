// The base that marks the game's managers, each of which exists once.
#pragma once

namespace CommonClass {

// Marks the classes that live once, in a function-local static object built
// by their GetInstance on first use and destroyed at exit.
class CSingleTon {};

}  // namespace CommonClass
