// The module's class factory: the vendor record, the processor and controller records and
// their create functions. GetPluginFactory builds the factory on first use and hands out
// one more reference on every later call.
#include "kt3controllerwithui.h"
#include "kt3ids.h"
#include "kt3processorwithuicontroller.h"
#include "kt3version.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include "public.sdk/source/main/moduleentry.h"
#include "public.sdk/source/main/pluginfactory.h"
#if !defined(_WIN32)
#include "vstgui/lib/platform/linux/resourcefolder.h"
#endif

#include <cstring>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

FUnknown* createProcessor (void* /*context*/)
{
	return static_cast<IAudioProcessor*> (new (std::nothrow) KT3ProcessorWithUIController);
}

FUnknown* createController (void* /*context*/)
{
	// The controller starts from zeroed storage, then its constructors run.
	void* storage = ::operator new (sizeof (KT3ControllerWithUI), std::nothrow);
	if (!storage)
		return nullptr;
	std::memset (storage, 0, sizeof (KT3ControllerWithUI));
	return static_cast<IEditController*> (new (storage) KT3ControllerWithUI);
}

PClassInfo2 classRecord (const FUID& cid, const char8* category, const char8* subCategories)
{
	TUID bytes;
	cid.toTUID (bytes);
	return PClassInfo2 (bytes, PClassInfo::kManyInstances, category, "KT3", kDistributable,
	                    subCategories, "", KT3_VERSION_STRING, KT3_SDK_VERSION_STRING);
}

// Built once per process, on the first GetPluginFactory call.
const PFactoryInfo& factoryRecord ()
{
	static const PFactoryInfo info (KT3_VENDOR, KT3_VENDOR_URL, "mailto:" KT3_VENDOR_EMAIL, PFactoryInfo::kUnicode);
	return info;
}

const PClassInfo2& processorRecord ()
{
	static const PClassInfo2 info =
	    classRecord (kKT3ProcessorUID, kVstAudioEffectClass, "Fx|Reverb");
	return info;
}

const PClassInfo2& controllerRecord ()
{
	static const PClassInfo2 info =
	    classRecord (kKT3ControllerUID, kVstComponentControllerClass, "");
	return info;
}

} // namespace

bool InitModule ()
{
#if !defined(_WIN32)
	// The editor finds its description and bitmaps in the bundle's resource folder (on Windows
	// they are resources of the DLL).
	VSTGUI::setResourceFolder (getBundleResourcesPath ());
#endif
	return true;
}

bool DeinitModule ()
{
	return true;
}

KT3_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}
	gPluginFactory = new CPluginFactory (factoryRecord ());
	gPluginFactory->registerClass (&processorRecord (), createProcessor);
	gPluginFactory->registerClass (&controllerRecord (), createController);
	return gPluginFactory;
}
