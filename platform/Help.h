// The program's help: each topic is a page "help/<topic>.html" in the
// program's folder, opened through the shell services when it exists
// (the design's HelpJump into its help file).
#pragma once

#include <string>

// The page of a topic: <program folder>help/<topic>.html.
std::string HelpTopicFile(const std::string& topic);
// Opens the topic's page; false when the page does not exist or could not
// be opened.
bool HelpJump(const std::string& topic);
