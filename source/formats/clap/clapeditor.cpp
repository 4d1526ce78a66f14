#include "clapeditor.h"
#include "clapedithandler.h"

#if !defined(_WIN32)
#include "vstgui/lib/platform/linux/resourcefolder.h"
#endif

#include <cmath>
#include <cstring>
#include <limits>

namespace Steinberg {
namespace Vst {
namespace Orvix {

std::unique_ptr<ClapEditor> ClapEditor::create (ClapPlugin& plugin, const clap_host_t* host)
{
#if !defined(_WIN32)
	const std::string resources = VSTGUI::resourcesBesideBinary (reinterpret_cast<const void*> (&ClapEditor::create));
	if (resources.empty ())
		return nullptr;
	VSTGUI::setResourceFolder (resources);
#endif
	std::unique_ptr<ClapEditor> ui (new ClapEditor (plugin, host));
	const auto makeHandler = [&plugin] (IEditController& controller) {
		return IPtr<IComponentHandler> (owned (new ClapEditHandler (plugin, controller)));
	};
	const auto* gui = host && host->get_extension
	                      ? static_cast<const clap_host_gui_t*> (host->get_extension (host, CLAP_EXT_GUI))
	                      : nullptr;
	const auto askHost = [host, gui] (int32 width, int32 height) {
		return gui && gui->request_resize && width > 0 && height > 0 &&
		       gui->request_resize (host, uint32_t (width), uint32_t (height));
	};
	ui->editor = EmbeddedEditor::create (makeHandler, askHost);
	if (!ui->editor)
		return nullptr;
	for (double& value : ui->shown)
		value = std::numeric_limits<double>::quiet_NaN ();
	return ui;
}

ClapEditor::~ClapEditor ()
{
	if (ownsTimer (timer))
		timers->unregister_timer (host, timer);
	if (ticker.joinable ())
	{
		{
			std::lock_guard<std::mutex> lock (tickerMutex);
			stopTicker = true;
		}
		tickerWake.notify_all ();
		ticker.join ();
	}
	editor.reset ();
}

bool ClapEditor::setScale (double factor)
{
	if (!std::isfinite (factor) || factor < 1.0)
		return false;
	editor->setScaleFactor (static_cast<float> (factor));
	return true;
}

void ClapEditor::size (uint32_t& width, uint32_t& height) const
{
	const ViewRect rect = editor->size ();
	width = static_cast<uint32_t> (rect.getWidth ());
	height = static_cast<uint32_t> (rect.getHeight ());
}

bool ClapEditor::setParent (const clap_window_t& window)
{
	if (!window.api || std::strcmp (window.api, kWindowApi) != 0)
		return false;
#if defined(_WIN32)
	if (!editor->attach (window.win32, kPlatformTypeHWND))
		return false;
#else
	if (window.x11 == 0 || window.x11 > UINT32_MAX ||
	    !editor->attach (reinterpret_cast<void*> (uintptr_t (window.x11)), kPlatformTypeX11EmbedWindowID))
		return false;
#endif
	startTicks ();
	tick ();
	return true;
}

void ClapEditor::startTicks ()
{
	timers = host && host->get_extension ? static_cast<const clap_host_timer_support_t*> (
	                                           host->get_extension (host, CLAP_EXT_TIMER_SUPPORT))
	                                     : nullptr;
	if (timers && timers->register_timer && timers->unregister_timer &&
	    timers->register_timer (host, kTickMs, &timer))
		return;
	timers = nullptr;
	if (!host || !host->request_callback)
		return;
	ticker = std::thread ([this] {
		std::unique_lock<std::mutex> lock (tickerMutex);
		while (!tickerWake.wait_for (lock, std::chrono::milliseconds (kTickMs), [this] { return stopTicker; }))
			host->request_callback (host);
	});
}

void ClapEditor::tick ()
{
	followValues ();
	editor->idle ();
}

void ClapEditor::followValues ()
{
	IEditController& controller = editor->controller ();
	clap_param_info_t info;
	for (uint32_t i = 0; i < ClapPlugin::kParamCount; ++i)
	{
		double value = 0.0;
		if (!plugin.paramInfo (i, info) || !plugin.value (info.id, value) || value == shown[i])
			continue;
		shown[i] = value;
		controller.setParamNormalized (info.id, controller.plainParamToNormalized (info.id, value));
	}
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
