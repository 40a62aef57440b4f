#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "languages/epl2/epl2_printer.h"
#include "rendering/printer_registry.h"
#include "rendering/printer_type_base.h"
#include "support/label_template_xml.h"

namespace pirell {
namespace {

using testing::LabelTemplateXml;

TEST(PrinterRegistryTest, HoldsTheEpl2TypeAndItsModelFirst) {
  ASSERT_GE(PrinterTypes().size(), 1u);
  const TPrinterTypeInfo& type = PrinterTypes()[0];
  EXPECT_EQ(type.PrinterSerie, psZebraEZPL2);
  EXPECT_EQ(type.Name, "ZEBRA (EPL2 lang.)");
  ASSERT_NE(type.TypeClass, nullptr);
  std::unique_ptr<TPrinterTypeBase> printer = type.TypeClass();
  EXPECT_NE(dynamic_cast<TPrinterTypeZebraEZPL2*>(printer.get()), nullptr);

  ASSERT_GE(PrinterModels().size(), 1u);
  const TPrinterModel& model = PrinterModels()[0];
  EXPECT_EQ(model.PrinterType, &PrinterTypes()[0]);
  EXPECT_EQ(model.Name, "2824, 2844");
  const TPrinterModelProps& props = model.ModelProps;
  EXPECT_EQ(props.DPI, 203);
  EXPECT_FALSE(props.CapFontsDownload);
  EXPECT_TRUE(props.CapFormsDownload);
  EXPECT_EQ(props.MaxDarkness, 15);
  EXPECT_EQ(props.DefDarkness, 7);
  ASSERT_EQ(props.PrintSpeeds.size(), 4u);
  const int codes[] = {1, 2, 3, 4};
  const double ips[] = {1.5, 2.0, 2.5, 3.5};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(props.PrintSpeeds[i].Index, codes[i]);
    EXPECT_EQ(props.PrintSpeeds[i].IPS, ips[i]);
  }
}

TEST(PrinterRegistryTest, RegistersTheBuiltinPrintersOnlyOnce) {
  const std::size_t types = PrinterTypes().size();
  const std::size_t models = PrinterModels().size();
  RegisterBuiltinPrinters();
  RegisterBuiltinPrinters();
  EXPECT_EQ(PrinterTypes().size(), types);
  EXPECT_EQ(PrinterModels().size(), models);
  EXPECT_EQ(&PrinterRegistry().PrinterTypes(), &PrinterTypes());
}

TEST(PrinterRegistryTest, CreatesTheGeneratorOfAModelWithItsProperties) {
  std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(0);
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->ModelProps().DPI, 203);
  EXPECT_EQ(printer->ModelProps().PrintSpeeds.size(), 4u);
  EXPECT_EQ(printer->CmdSuffix(), "\n");
  EXPECT_EQ(CreatePrinterOfModel(static_cast<int>(PrinterModels().size())), nullptr);
  EXPECT_EQ(CreatePrinterOfModel(-1), nullptr);
}

std::unique_ptr<TPrinterTypeBase> CreateBase() {
  return std::make_unique<TPrinterTypeBase>();
}

TEST(PrinterRegistryTest, ModelsPairSpeedCodesWithTheirSpeeds) {
  TPrinterRegistry registry;
  const int type = registry.RegisterPrinterType(psGodexEZ, &CreateBase, "Other");
  EXPECT_EQ(type, 0);
  EXPECT_EQ(
      registry.RegisterPrinterModel(type, "A", {5, 6}, {1.0, 2.0, 3.0}, 300, true, false, 20, 10),
      0);
  const TPrinterModel& model = registry.PrinterModels()[0];
  EXPECT_EQ(model.PrinterType, &registry.PrinterTypes()[0]);
  ASSERT_EQ(model.ModelProps.PrintSpeeds.size(), 2u);
  EXPECT_EQ(model.ModelProps.PrintSpeeds[1].Index, 6);
  EXPECT_EQ(model.ModelProps.PrintSpeeds[1].IPS, 2.0);
  EXPECT_EQ(model.ModelProps.DPI, 300);
  EXPECT_TRUE(model.ModelProps.CapFontsDownload);
}

TEST(PrinterRegistryTest, RefusesModelsItCannotDescribe) {
  TPrinterRegistry registry;
  const int type = registry.RegisterPrinterType(psGodexEZ, &CreateBase, "Other");
  // Fewer speeds than speed codes.
  EXPECT_EQ(registry.RegisterPrinterModel(type, "A", {1, 2}, {1.0}, 203, false, false, 15, 7), -1);
  EXPECT_EQ(registry.RegisterPrinterModel(1, "B", {}, {}, 203, false, false, 15, 7), -1);
  EXPECT_EQ(registry.RegisterPrinterModel(-1, "C", {}, {}, 203, false, false, 15, 7), -1);
  const int without_generator = registry.RegisterPrinterType(psDatamaxE, nullptr, "None");
  EXPECT_EQ(registry.RegisterPrinterModel(without_generator, "D", {}, {}, 203, false, false, 15, 7),
            -1);
  EXPECT_TRUE(registry.PrinterModels().empty());
}

// ---- the base generator ----

std::string PriceLabel() {
  return LabelTemplateXml()
      .Item("TextSimple", {{"DS", "Price"}, {"Value", "0.00"}})
      .Item("TextSimple", {{"DS", "Name"}})
      .Item("TextSimple", {{"Value", "static"}})
      .Text();
}

TEST(PrinterTypeBaseTest, MakeLabelScriptBindsValuesButAppendsNoCommand) {
  TPrinterTypeBase printer;
  EXPECT_EQ(printer.CmdSuffix(), "");
  printer.LabelObj().LoadFromString(PriceLabel());
  printer.InitTask();
  printer.InitLabel();
  printer.ValuesList().Add("Price", "12.50");
  printer.ValuesList().Add("Other", "x");
  printer.MakeLabelScript(5);
  EXPECT_EQ(printer.CmdList().Count(), 0);
  TFieldList& fields = printer.LabelObj().Fields();
  EXPECT_EQ(fields.Items(0)->Value(), "12.50");
  EXPECT_EQ(fields.Items(1)->Value(), "");
  EXPECT_EQ(fields.Items(2)->Value(), "static");
}

TEST(PrinterTypeBaseTest, FieldsKeepTheirValuesAcrossLabels) {
  TPrinterTypeBase printer;
  printer.LabelObj().LoadFromString(PriceLabel());
  printer.InitLabel();
  printer.ValuesList().Add("Price", "12.50");
  printer.ValuesList().Add("Name", "Хлеб");
  printer.MakeLabelScript(1);
  printer.InitLabel();
  EXPECT_EQ(printer.ValuesList().Count(), 0);
  printer.ValuesList().Add("Price", "54.50");
  printer.MakeLabelScript(1);
  TFieldList& fields = printer.LabelObj().Fields();
  EXPECT_EQ(fields.Items(0)->Value(), "54.50");
  EXPECT_EQ(fields.Items(1)->Value(), "Хлеб");
}

TEST(PrinterTypeBaseTest, TheFirstAcceptableValueWins) {
  TPrinterTypeBase printer;
  printer.LabelObj().LoadFromString(PriceLabel());
  printer.InitLabel();
  printer.ValuesList().Add("Price", "first");
  printer.ValuesList().Add("Spare", "second");
  printer.ValuesList().Items(1).SourceName = "Price";
  printer.MakeLabelScript(1);
  EXPECT_EQ(printer.LabelObj().Fields().Items(0)->Value(), "first");
}

TEST(PrinterTypeBaseTest, ValueNamesAreComparedExactly) {
  TPrinterTypeBase printer;
  printer.LabelObj().LoadFromString(PriceLabel());
  printer.InitLabel();
  printer.ValuesList().Add("price", "1");
  printer.MakeLabelScript(1);
  EXPECT_EQ(printer.LabelObj().Fields().Items(0)->Value(), "0.00");
}

TEST(PrinterTypeBaseTest, RequestsStartWithAnEmptyCommandList) {
  TPrinterTypeBase printer;
  printer.CmdList().Add("x");
  printer.InitTask();
  EXPECT_EQ(printer.CmdList().Count(), 0);
  printer.CmdList().Add("x");
  printer.InitializePrinter();
  EXPECT_EQ(printer.CmdList().Count(), 0);
  printer.CmdList().Add("x");
  printer.TestPrinter();
  EXPECT_EQ(printer.CmdList().Count(), 0);
  // Starting a label leaves the commands of the earlier labels alone.
  printer.CmdList().Add("x");
  printer.InitLabel();
  EXPECT_EQ(printer.CmdList().Count(), 1);
}

}  // namespace
}  // namespace pirell
