#pragma once

// What the tests of the printer languages' generators share: a model by its name, the commands a
// generator made, and one label's fields run through a generator with the driver's default
// settings.

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/locale.h"
#include "rendering/printer_registry.h"
#include "support/label_template_xml.h"

namespace pirell::testing {

inline platform::LocaleFormat PointDecimals() {
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  return format;
}

inline std::vector<ByteString> Datas(const TCmdList& cmds) {
  std::vector<ByteString> datas;
  for (const TPrinterCmd& cmd : cmds) datas.push_back(cmd.Data);
  return datas;
}

inline const TPrinterModel& ModelNamed(std::string_view name) {
  for (const TPrinterModel& model : PrinterModels())
    if (model.Name == name) return model;
  ADD_FAILURE() << "no model " << name;
  return PrinterModels().front();
}

// The properties with `changes` applied: a property named there takes its value, others are added.
inline LabelTemplateXml::Properties With(LabelTemplateXml::Properties properties,
                                         const LabelTemplateXml::Properties& changes) {
  for (const auto& change : changes) {
    bool found = false;
    for (auto& property : properties)
      if (property.first == change.first) {
        property.second = change.second;
        found = true;
      }
    if (!found) properties.push_back(change);
  }
  return properties;
}

// A generator of the named model with a 58 x 40 mm label (464 x 320 dots at 203 dpi), gap 2 mm,
// direct thermal, speed code 4 and the darkness given. Each language's test says where the
// fields' commands of one label lie among what the generator made.
template <typename Printer>
class GeneratorTest : public ::testing::Test {
 protected:
  GeneratorTest(std::string_view model, int darkness) : locale_(PointDecimals()) {
    printer_.ModelProps() = ModelNamed(model).ModelProps;
    printer_.PrintParams() = TPrintParams{58, 40, 2, pmDirect, darkness, 4};
  }

  // The commands of one request of one label.
  std::vector<ByteString> LabelJob(const LabelTemplateXml& xml) {
    printer_.LabelObj().LoadFromString(xml.Text());
    printer_.InitTask();
    printer_.InitLabel();
    printer_.MakeLabelScript(1);
    return Datas(printer_.CmdList());
  }

  virtual std::vector<ByteString> FieldCommands(const LabelTemplateXml& xml) = 0;

  // The one command of a label holding one field.
  ByteString OneCommand(std::string_view class_name,
                        const LabelTemplateXml::Properties& properties) {
    const std::vector<ByteString> commands =
        FieldCommands(LabelTemplateXml().Item(class_name, properties));
    EXPECT_EQ(commands.size(), 1u);
    return commands.empty() ? ByteString() : commands.front();
  }

  platform::ScopedUserLocale locale_;
  Printer printer_;
};

}  // namespace pirell::testing
