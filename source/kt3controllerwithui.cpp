#include "kt3controllerwithui.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

IPlugView* PLUGIN_API KT3ControllerWithUI::createView (FIDString /*name*/)
{
	return nullptr; // the editor is not built yet
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
