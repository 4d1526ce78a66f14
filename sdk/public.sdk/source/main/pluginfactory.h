// CPluginFactory: the class factory a module hands to the host. Holds the factory record
// and a table of class records, each with the function that creates its objects.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include <atomic>
#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
	using CreateFunction = FUnknown* (*) (void* context);

	explicit CPluginFactory (const PFactoryInfo& info);
	virtual ~CPluginFactory ();

	// Adds a class; refuses a null record or create function.
	bool registerClass (const PClassInfo2* info, CreateFunction create, void* context = nullptr);

	//---IPluginFactory
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
	tresult PLUGIN_API createInstance (FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
	//---IPluginFactory2
	tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;
	//---IPluginFactory3
	tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

	//---FUnknown
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

private:
	struct ClassEntry
	{
		PClassInfo2 info;
		CreateFunction create;
		void* context;
	};
	const ClassEntry* entryAt (int32 index) const;

	std::atomic<uint32> refCount {1};
	PFactoryInfo factoryInfo;
	std::vector<ClassEntry> classes;
};

// The module's factory while one exists; cleared when the last reference is released.
extern CPluginFactory* gPluginFactory;

} // namespace Steinberg
