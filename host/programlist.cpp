#include "programlist.h"
#include "text16.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include <cstring>

namespace kt3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

bool readEffectClassRecord (IPluginFactory* factory, PClassInfo2& record, std::string& vendor)
{
	PFactoryInfo info;
	if (factory->getFactoryInfo (&info) == kResultOk)
		vendor = info.vendor;
	FUnknownPtr<IPluginFactory2> factory2 (factory);
	for (int32 i = 0; factory2 && i < factory->countClasses (); ++i)
	{
		if (factory2->getClassInfo2 (i, &record) == kResultOk &&
		    std::strcmp (record.category, kVstAudioEffectClass) == 0)
		{
			if (record.vendor[0])
				vendor = record.vendor;
			return true;
		}
	}
	return false;
}

bool readProgramList (IEditController* controller, ProgramList& list)
{
	FUnknownPtr<IUnitInfo> units (controller);
	if (!units || units->getProgramListCount () < 1 || units->getProgramListInfo (0, list.info) != kResultOk)
		return false;
	bool found = false;
	for (int32 i = 0; i < controller->getParameterCount () && !found; ++i)
		found = controller->getParameterInfo (i, list.programChange) == kResultOk &&
		        (list.programChange.flags & ParameterInfo::kIsProgramChange);
	if (!found)
		return false;
	list.names.clear ();
	for (int32 program = 0; program < list.info.programCount; ++program)
	{
		String128 name {};
		units->getProgramName (list.info.id, program, name);
		list.names.push_back (toAscii (name));
	}
	return true;
}

} // namespace kt3host
