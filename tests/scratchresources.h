// A temporary resource folder for descriptions and other entries made by a test; it becomes
// the editor's resource folder and is removed with its entries at the end.
#pragma once

#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
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
	// Entries that are not plain files, as a hostile or unusual installation may hold them.
	void link (const std::string& name, const std::string& target)
	{
		make (name, symlink (target.c_str (), path (name).c_str ()));
	}
	void fifo (const std::string& name) { make (name, mkfifo (path (name).c_str (), 0600)); }
	void directory (const std::string& name) { make (name, mkdir (path (name).c_str (), 0700)); }
	// The content followed by zeros that take no room, up to this many bytes in all.
	void sparse (const std::string& name, const std::string& content, off_t bytes)
	{
		write (name, content);
		EXPECT_EQ (truncate (path (name).c_str (), bytes), 0);
	}
	std::string path (const std::string& name) const { return folder + "/" + name; }
	// Writes a description of these sections and makes the folder the resource folder.
	void writeDescription (const std::string& name, const std::string& sections)
	{
		write (name, "<?xml version=\"1.0\"?>\n<vstgui-ui-description version=\"1\">" + sections +
		                 "</vstgui-ui-description>");
		VSTGUI::setResourceFolder (folder);
	}

	std::string folder;
	std::vector<std::string> files;

private:
	void make (const std::string& name, int result)
	{
		EXPECT_EQ (result, 0) << name;
		files.push_back (name);
	}
};
