// The program's help: each topic is a page "help/<topic>.html" in the
// program's folder, opened through the shell services when it exists.
// The pages are not part of the
// program: where they are missing, the user is told so, once per request.
#pragma once

#include <string>

// The page of a topic: <program folder>help/<topic>.html.
std::string HelpTopicFile(const std::string& topic);
// The information shown when a topic's page is missing: the help pages are
// not installed, and the page that was looked for.
std::string HelpPageMissingText(const std::string& page);
// Opens the topic's page; false when the page does not exist (an
// information box then says so) or could not be opened.
bool HelpJump(const std::string& topic);
