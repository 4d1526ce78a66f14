#include "lv2uieditor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

std::unique_ptr<Lv2UiEditor> Lv2UiEditor::open (uint32_t parentWindow, LV2UI_Write_Function write,
                                                LV2UI_Controller host, const LV2UI_Touch* touch,
                                                const LV2UI_Resize* resize, std::optional<float> scaleFactor)
{
	if (parentWindow == 0 || !write)
		return nullptr;
	std::unique_ptr<Lv2UiEditor> ui (new Lv2UiEditor);
	const auto makePorts = [&] (IEditController& controller) {
		ui->ports = owned (new Lv2UiControlPorts (&controller, write, host, touch));
		return IPtr<IComponentHandler> (ui->ports.get ());
	};
	// ui:resize answers 0 when the host has resized its window.
	const LV2UI_Resize hostResize = resize ? *resize : LV2UI_Resize {nullptr, nullptr};
	const auto askHost = [hostResize] (int32 width, int32 height) {
		return hostResize.ui_resize && hostResize.ui_resize (hostResize.handle, width, height) == 0;
	};
	ui->editor = EmbeddedEditor::open (reinterpret_cast<void*> (uintptr_t (parentWindow)),
	                                   kPlatformTypeX11EmbedWindowID, makePorts, askHost, scaleFactor);
	if (!ui->editor)
		return nullptr;
	return ui;
}

Lv2UiEditor::~Lv2UiEditor () = default;

uint32_t Lv2UiEditor::window () const
{
	return editor->window ();
}

ViewRect Lv2UiEditor::size () const
{
	return editor->size ();
}

void Lv2UiEditor::portEvent (uint32_t index, uint32_t bufferSize, uint32_t format, const void* buffer)
{
	ports->portEvent (index, bufferSize, format, buffer);
}

void Lv2UiEditor::idle ()
{
	editor->idle ();
}

void Lv2UiEditor::setScaleFactor (float factor)
{
	editor->setScaleFactor (factor);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
