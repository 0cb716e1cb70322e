// The empty scores that File > New offers: a few common ensembles, each
// with its parts, clefs and transpositions, in 4/4 and C major (transposing
// parts written in their own key), sixteen measures of rests.
#pragma once

#include <string>
#include <vector>

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// The names of the templates, in menu order ("Piano", "String Quartet",
// "SATB Choir", "Wind Quintet").
std::vector<std::string> TemplateNames();

// The template as MusicXML text; "" for an unknown name.
std::string TemplateMusicXml(const std::string& name);

// A new document made from the template, current in the engine and owned by
// it (Engine::CloseDocument). It has no file: saving it needs a path.
// Null for an unknown name or when the engine refuses it (*error, when not
// null, tells why).
tonaroengine::Document* CreateFromTemplate(const std::string& name, std::string* error);

}  // namespace tonaroapp
