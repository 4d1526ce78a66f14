#include "statebytes.h"
#include "public.sdk/source/common/memorystream.h"

namespace kt3host {

using namespace Steinberg;

namespace {

IPtr<MemoryStream> streamOf (const Bytes& bytes)
{
	auto stream = owned (new MemoryStream);
	if (!bytes.empty ())
	{
		int32 written = 0;
		stream->write (const_cast<uint8*> (bytes.data ()), static_cast<int32> (bytes.size ()),
		               &written);
		stream->seek (0, IBStream::kIBSeekSet, nullptr);
	}
	return stream;
}

template <typename Part>
Bytes stateOf (Part* part)
{
	auto stream = owned (new MemoryStream);
	if (part->getState (stream) != kResultOk)
		return {};
	const auto* data = reinterpret_cast<const uint8*> (stream->getData ());
	return Bytes (data, data + stream->getSize ());
}

} // namespace

Bytes getState (Vst::IComponent* component)
{
	return stateOf (component);
}

Bytes getControllerState (Vst::IEditController* controller)
{
	return stateOf (controller);
}

tresult setControllerState (Vst::IEditController* controller, const Bytes& bytes)
{
	return controller->setState (streamOf (bytes));
}

tresult setState (Vst::IComponent* component, const Bytes& bytes)
{
	return component->setState (streamOf (bytes));
}

tresult setComponentState (Vst::IEditController* controller, const Bytes& bytes)
{
	return controller->setComponentState (streamOf (bytes));
}

} // namespace kt3host
