#include "kt3processorwithuicontroller.h"
#include "kt3ids.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

KT3ProcessorWithUIController::KT3ProcessorWithUIController ()
{
	setControllerClass (kKT3ControllerUID);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
