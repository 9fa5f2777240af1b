#pragma once
// The HTML pages of the substitute server, UTF-8, small and valid.
#include <string>

namespace qm::sim {

// A whole page: title, an optional script in the head, the body.
std::string htmlPage(const std::string& title, const std::string& body, const std::string& script = {});

std::string loginPage(bool failed);
// Home page after login: userType:"<digit>" in its script and the "注销" link.
std::string homePage(int accountType, const std::string& userName);
std::string keepAlivePage();
// Script of the query pages with the variables the client cuts out of their source:
// `var userType = <digit>;`, `var organCode="<code>";` and the token as \xHH escapes.
std::string queryPageScript(int accountType, const std::string& organCode, const std::string& token);
std::string menuPage(const std::string& title);
std::string notFoundPage();
// Three text inputs and no user-name field: a first page that is no login page.
std::string inputsPage();
std::string errorPage();

// Pages for the browser window tests.
std::string popupPage();
std::string childPage();
std::string closerPage();
std::string titlePage(const std::string& title);

// Each character as a lower-case \xHH escape.
std::string hexEscaped(const std::string& text);

}  // namespace qm::sim
