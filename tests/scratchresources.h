// A temporary resource folder for descriptions written by a test; it becomes the editor's
// resource folder and is removed with its files at the end.
#pragma once

#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

struct ScratchResources
{
	ScratchResources ()
	{
		char pattern[] = "/tmp/kt3-resources-XXXXXX";
		if (mkdtemp (pattern))
			folder = pattern;
	}
	~ScratchResources ()
	{
		for (const std::string& f : files)
			std::remove ((folder + "/" + f).c_str ());
		rmdir (folder.c_str ());
	}
	void write (const std::string& name, const std::string& content)
	{
		std::ofstream (folder + "/" + name) << content;
		files.push_back (name);
	}
	// Writes a description of these sections and makes the folder the resource folder.
	void writeDescription (const std::string& name, const std::string& sections)
	{
		write (name, "<?xml version=\"1.0\"?>\n<vstgui-ui-description version=\"1\">" + sections +
		                 "</vstgui-ui-description>");
		VSTGUI::setResourceFolder (folder);
	}

	std::string folder;
	std::vector<std::string> files;
};
