// "d3d9.dll" with Direct3DCreate9, which the framework looks up by name, and
// the DirectDraw 7 class, there only while the machine profile says
// DirectDraw is installed.
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ddraw.h"
#include "platform/d3d9/direct_draw.h"
#include "platform/profile/machine_profile.h"
#include "platform/registrations.h"

namespace platform::d3d9 {

void Register(Registrations& registrations) {
    registrations.AddLibrary("d3d9", {{"Direct3DCreate9", ExportEntry(&Direct3DCreate9)}});
    registrations.AddClass(CLSID_DirectDraw7, CreateDirectDraw7, [] { return Profile().direct3d.directDraw; });
}

}  // namespace platform::d3d9
