#include "public.sdk/source/main/pluginfactory.h"

#include <cstring>

namespace Steinberg {

namespace {

// Widens a terminated 8-bit text into a 16-bit field of `capacity` code units.
void widen (char16* out, const char8* in, size_t capacity)
{
	size_t i = 0;
	for (; i + 1 < capacity && in[i]; ++i)
		out[i] = static_cast<unsigned char> (in[i]);
	out[i] = 0;
}

template <size_t N>
void copyText (char8 (&out)[N], const char8 (&in)[N])
{
	std::memcpy (out, in, N);
	out[N - 1] = 0;
}

} // namespace

CPluginFactory::CPluginFactory (const PFactoryInfo& info) : factoryInfo (info) {}

CPluginFactory* gPluginFactory = nullptr;

CPluginFactory::~CPluginFactory ()
{
	if (gPluginFactory == this)
		gPluginFactory = nullptr;
}

bool CPluginFactory::registerClass (const PClassInfo2* info, CreateFunction create, void* context)
{
	if (!info || !create)
		return false;
	classes.push_back ({*info, create, context});
	return true;
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt (int32 index) const
{
	if (index < 0 || index >= static_cast<int32> (classes.size ()))
		return nullptr;
	return &classes[index];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
	if (!info)
		return kInvalidArgument;
	*info = factoryInfo;
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses ()
{
	return static_cast<int32> (classes.size ());
}

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
	const ClassEntry* entry = entryAt (index);
	if (!info || !entry)
		return kInvalidArgument;
	std::memcpy (info->cid, entry->info.cid, sizeof (TUID));
	info->cardinality = entry->info.cardinality;
	copyText (info->category, entry->info.category);
	copyText (info->name, entry->info.name);
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
	const ClassEntry* entry = entryAt (index);
	if (!info || !entry)
		return kInvalidArgument;
	*info = entry->info;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
	const ClassEntry* entry = entryAt (index);
	if (!info || !entry)
		return kInvalidArgument;
	const PClassInfo2& from = entry->info;
	std::memcpy (info->cid, from.cid, sizeof (TUID));
	info->cardinality = from.cardinality;
	copyText (info->category, from.category);
	widen (info->name, from.name, PClassInfo::kNameSize);
	info->classFlags = from.classFlags;
	copyText (info->subCategories, from.subCategories);
	widen (info->vendor, from.vendor, PClassInfo2::kVendorSize);
	widen (info->version, from.version, PClassInfo2::kVersionSize);
	widen (info->sdkVersion, from.sdkVersion, PClassInfo2::kVersionSize);
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	*obj = nullptr;
	if (!cid || !iid)
		return kInvalidArgument;
	for (const ClassEntry& entry : classes)
	{
		if (std::memcmp (entry.info.cid, cid, sizeof (TUID)) != 0)
			continue;
		FUnknown* instance = entry.create (entry.context);
		if (!instance)
			return kNoInterface;
		// The host's pointer holds the only reference: the creation reference is dropped.
		const tresult result = instance->queryInterface (iid, obj);
		instance->release ();
		if (result != kResultOk)
			*obj = nullptr;
		return result == kResultOk ? kResultOk : kNoInterface;
	}
	return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* /*context*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE (iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE (iid, obj, IPluginFactory3::iid, IPluginFactory3)
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IPluginFactory)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef ()
{
	return ++refCount;
}

uint32 PLUGIN_API CPluginFactory::release ()
{
	const uint32 left = --refCount;
	if (left == 0)
		delete this;
	return left;
}

} // namespace Steinberg
