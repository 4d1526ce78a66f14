#include "lv2uieditor.h"
#include "kt3controllerwithui.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "hostresizeframe.h"
#include "vstgui/lib/platform/linux/x11frame.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include <algorithm>
#include <cmath>

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
	ui->controller = owned (new KT3ControllerWithUI);
	if (ui->controller->initialize (nullptr) != kResultOk)
		return nullptr;
	ui->ports = owned (new Lv2UiControlPorts (ui->controller, write, host, touch));
	ui->controller->setComponentHandler (ui->ports);
	ui->view = owned (ui->controller->createView (ViewType::kEditor));
	ui->editor = dynamic_cast<VSTGUI::VST3Editor*> (ui->view.get ());
	if (!ui->editor)
		return nullptr;
	// ui:resize answers 0 when the host has resized its window. The frame has no run loop: the
	// editor runs its timers and window events from idle ().
	const LV2UI_Resize hostResize = resize ? *resize : LV2UI_Resize {nullptr, nullptr};
	ui->frame = owned (new HostResizeFrame ([hostResize] (int32 width, int32 height) {
		return hostResize.ui_resize && hostResize.ui_resize (hostResize.handle, width, height) == 0;
	}));
	ui->view->setFrame (ui->frame);
	if (scaleFactor)
		ui->setScaleFactor (*scaleFactor);
	ui->attached = ui->view->attached (reinterpret_cast<void*> (uintptr_t (parentWindow)),
	                                   kPlatformTypeX11EmbedWindowID) == kResultTrue;
	if (!ui->attached)
		return nullptr;
	return ui;
}

Lv2UiEditor::~Lv2UiEditor ()
{
	if (attached)
		view->removed ();
	view = nullptr;
	frame = nullptr;
	if (controller)
	{
		controller->setComponentHandler (nullptr);
		controller->terminate ();
	}
}

uint32_t Lv2UiEditor::window () const
{
	const VSTGUI::X11Frame* platformFrame = editor->getPlatformFrame ();
	return platformFrame ? platformFrame->getWindow () : 0;
}

ViewRect Lv2UiEditor::size () const
{
	ViewRect rect;
	view->getSize (&rect);
	return rect;
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
	if (!std::isfinite (factor))
		return;
	scale = std::clamp (factor, 1.f, 4.f);
	if (FUnknownPtr<IPlugViewContentScaleSupport> scaling {view.get ()})
		scaling->setContentScaleFactor (*scale);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
