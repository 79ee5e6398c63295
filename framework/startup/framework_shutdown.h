// Internal to framework/startup (and its tests): nothing outside the folder includes it.
// The shutdown sequence's body, shared by the shutdown and by a start-up that
// failed part-way.
#pragma once

// Takes every component down in shutdown order, whether or not the framework
// counts as started; components that are not up are left alone. Returns 0.
int ShutDownFrameworkComponents();
