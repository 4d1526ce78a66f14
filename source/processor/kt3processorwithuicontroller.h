// KT3ProcessorWithUIController: the registered processor; a ReverbProcessor that names the
// controller class with the editor.
#pragma once

#include "reverbprocessor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class KT3ProcessorWithUIController : public ReverbProcessor
{
public:
	KT3ProcessorWithUIController ();
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
