// The outputs of one run committed as one: each closed ReplacementFile is put in place of its
// target in turn, and if one cannot be, those already in place are taken back (the previous
// files return, new ones go), so the targets show either every new file or none. Only on a file
// system that cannot exchange two names is a previous file replaced for good before the last.
#pragma once

#include "replacementfile.h"

#include <string>
#include <vector>

class ReplacementSet
{
public:
	void add (ReplacementFile& file) { files.push_back (&file); }
	bool commit (std::string& error);

private:
	std::vector<ReplacementFile*> files;
};
