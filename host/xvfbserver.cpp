#include "xvfbserver.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kt3host {

namespace {
constexpr int kStartTimeoutMs = 10000;
}

XvfbServer::XvfbServer (const std::string& screen)
{
	if (const char* current = std::getenv ("DISPLAY"))
	{
		hadDisplay = true;
		previousDisplay = current;
	}
	int fds[2];
	if (pipe (fds) != 0)
	{
		errorText = "pipe failed";
		return;
	}
	pid = fork ();
	if (pid == 0)
	{
		// Xvfb writes the display number it chose to the descriptor once it is ready.
		close (fds[0]);
		const int quiet = open ("/dev/null", O_WRONLY);
		dup2 (quiet, STDOUT_FILENO);
		dup2 (quiet, STDERR_FILENO);
		const std::string fd = std::to_string (fds[1]);
		execlp ("Xvfb", "Xvfb", "-displayfd", fd.c_str (), "-screen", "0", screen.c_str (), "-nolisten", "tcp",
		        "-noreset", static_cast<char*> (nullptr));
		_exit (127);
	}
	close (fds[1]);
	if (pid < 0)
	{
		close (fds[0]);
		errorText = "fork failed";
		return;
	}
	std::string number;
	pollfd p {fds[0], POLLIN, 0};
	char c = 0;
	while (poll (&p, 1, kStartTimeoutMs) > 0 && read (fds[0], &c, 1) == 1 && c != '\n')
		number += c;
	close (fds[0]);
	if (number.empty ())
	{
		errorText = "Xvfb did not start (is the package xvfb installed?)";
		kill (pid, SIGTERM);
		waitpid (pid, nullptr, 0);
		pid = -1;
		return;
	}
	display = ":" + number;
	setenv ("DISPLAY", display.c_str (), 1);
}

XvfbServer::~XvfbServer ()
{
	if (pid > 0)
	{
		kill (pid, SIGTERM);
		while (waitpid (pid, nullptr, 0) < 0 && errno == EINTR)
			;
	}
	if (hadDisplay)
		setenv ("DISPLAY", previousDisplay.c_str (), 1);
	else
		unsetenv ("DISPLAY");
}

} // namespace kt3host
