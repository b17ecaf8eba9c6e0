#include "port/Port_Init.h"

#include "mintu/Mintu_Vocabulary.h"

// The vocabulary's constants, defined in this one file so that they are built
// at load in the order below and destroyed at unload in reverse.

namespace Mintu {

const StringBase EnvVars::JAVA_TOOL_OPTIONS = "JAVA_TOOL_OPTIONS";
const StringBase EnvVars::ORV_MN_JAVA_MEMORY = "ORV_MN_JAVA_MEMORY";

const unsigned int Keyword::LIBRARY_FATAL_ERROR;
const StringBase Keyword::DEBUG_LOG = "Spirit";
const StringBase Keyword::PDF_FILE_EXTENSION = ".pdf";
const StringBase Keyword::SPIRIT_FILE_EXTENSION = ".xml";
const StringBase Keyword::MINTARO_DEFAULT_PROJECT_NAME = "mintaro";
const StringBase Keyword::MINTARO_PROJECT_DESIGN_FILE_EXTENSION = ".mnd";
const StringBase Keyword::MINTARO_PROJECT_CONFIGURATION_FILE_EXTENSION = ".mnc";

const StringBase Legacy::DEPRECATED_PROJECT_FILE_EXTENSION = ".prj";
const StringBase Legacy::PROJECT_FILE_EXTENSION = ".mnp";
const StringBase Legacy::DEPRECATED_CORE_FILE_EXTENSION = ".ocp";
const StringBase Legacy::CORE_FILE_EXTENSION = ".oco";
const StringBase Legacy::QUILLAR_FILE_EXTENSION = ".oqw";
const StringBase Legacy::COMPONENT_NAME = "component_name";
const StringBase Legacy::INTERNAL_MODULE_NAME = "internalModuleName";
const StringBase Legacy::TOP_LEVEL_COMPONENTS = "toplevel_components";
const StringBase Legacy::WIRE_TYPE_NET = "NET";
const StringBase Legacy::WIRE_TYPE_BUS = "BUS";
const StringBase Legacy::LANGUAGE_SCHEMATIC = "Schematic";
const StringBase Legacy::LANGUAGE_ADVANCED = "Advanced";
const StringBase Legacy::LANGUAGE_VHDL_AND_VERILOG = "VHDL_and_Verilog";

const StringBase Spirit::SPIRIT_NAMESPACE = "http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4";
const StringBase Spirit::SPIRIT_INDEX_SCHEMA =
    "http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4/index.xsd";
const StringBase Spirit::LOCAL_NAMESPACE = "mintaro/repository/www.spiritconsortium.org/schemas";
const StringBase Spirit::LOCAL_INDEX_SCHEMA = "index.xsd";
const StringBase Spirit::ORVANE_NAMESPACE = "Orvane";
const StringBase Spirit::HTTP_NAMESPACE = "http://";
const StringBase Spirit::VENDOR = "spirit:vendor";
const StringBase Spirit::LIBRARY = "spirit:library";
const StringBase Spirit::NAME = "spirit:name";
const StringBase Spirit::VERSION = "spirit:version";
const StringBase Spirit::DISPLAY_NAME = "spirit:displayName";
const StringBase Spirit::DESCRIPTION = "spirit:description";
const StringBase Spirit::VALUE = "spirit:value";
const StringBase Spirit::ID = "spirit:id";
const StringBase Spirit::DEPENDENCY = "spirit:dependency";
const StringBase Spirit::RESOLVE = "spirit:resolve";
const StringBase Spirit::RESOLVE_IMMEDIATE = "immediate";
const StringBase Spirit::RESOLVE_USER = "user";
const StringBase Spirit::RESOLVE_DEPENDENT = "dependent";
const StringBase Spirit::RESOLVE_GENERATED = "generated";
const StringBase Spirit::COMPONENT = "spirit:component";
const StringBase Spirit::CHOICES = "spirit:choices";
const StringBase Spirit::CHOICE = "spirit:choice";
const StringBase Spirit::ENUMERATION = "spirit:enumeration";
const StringBase Spirit::TEXT = "spirit:text";
const StringBase Spirit::HELP = "spirit:help";
const StringBase Spirit::PARAMETERS = "spirit:parameters";
const StringBase Spirit::PARAMETER = "spirit:parameter";
const StringBase Spirit::MODEL = "spirit:model";
const StringBase Spirit::VIEWS = "spirit:views";
const StringBase Spirit::VIEW = "spirit:view";
const StringBase Spirit::MODEL_NAME = "spirit:modelName";
const StringBase Spirit::HIERARCHY_REFERENCE = "spirit:hierarchyRef";
const StringBase Spirit::LANGUAGE = "spirit:language";
const StringBase Spirit::LANGUAGE_VHDL_EXTENSION = ".vhd";
const StringBase Spirit::LANGUAGE_VERILOG_EXTENSION = ".v";
const StringBase Spirit::LANGUAGE_VHDL = "VHDL";
const StringBase Spirit::LANGUAGE_VERILOG = "Verilog";
const StringBase Spirit::ENVIRONMENT_IDENTIFIER = "spirit:envIdentifier";
const StringBase Spirit::ENVIRONMENT_SIMULATION = ":*Simulation:";
const StringBase Spirit::ENVIRONMENT_SYNTHESIS = ":*Synthesis:";
const StringBase Spirit::ENVIRONMENT_ALL = "::";
const StringBase Spirit::MODEL_PARAMETERS = "spirit:modelParameters";
const StringBase Spirit::MODEL_PARAMETER = "spirit:modelParameter";
const StringBase Spirit::PORTS = "spirit:ports";
const StringBase Spirit::PORT = "spirit:port";
const StringBase Spirit::WIRE = "spirit:wire";
const StringBase Spirit::VECTOR = "spirit:vector";
const StringBase Spirit::VECTOR_LEFT = "spirit:left";
const StringBase Spirit::VECTOR_RIGHT = "spirit:right";
const StringBase Spirit::DIRECTION = "spirit:direction";
const StringBase Spirit::DIRECTION_IN = "in";
const StringBase Spirit::DIRECTION_OUT = "out";
const StringBase Spirit::DIRECTION_INOUT = "inout";
const StringBase Spirit::DIRECTION_PHANTOM = "phantom";
const StringBase Spirit::FORMAT = "spirit:format";
const StringBase Spirit::FORMAT_BITSTRING = "bitString";
const StringBase Spirit::FORMAT_BOOL = "bool";
const StringBase Spirit::FORMAT_LONG = "long";
const StringBase Spirit::FORMAT_FLOAT = "float";
const StringBase Spirit::FORMAT_STRING = "string";
const StringBase Spirit::FORMAT_CHOICE = "choice";
const StringBase Spirit::CHOICE_REFERENCE = "spirit:choiceRef";
const StringBase Spirit::DATA_TYPE = "spirit:dataType";
const StringBase Spirit::HDL_TYPE_BIT = "bit";
const StringBase Spirit::HDL_TYPE_INTEGER = "integer";
const StringBase Spirit::HDL_TYPE_REAL = "real";
const StringBase Spirit::HDL_TYPE_STRING = "string";
const StringBase Spirit::VHDL_TYPE_BIT_VECTOR = "bit_vector";
const StringBase Spirit::VHDL_TYPE_STD_LOGIC = "std_logic";
const StringBase Spirit::VHDL_TYPE_STD_LOGIC_VECTOR = "std_logic_vector";
const StringBase Spirit::VERILOG_TYPE_BIT_VECTOR = "bit vector";
const StringBase Spirit::DRIVER = "spirit:driver";
const StringBase Spirit::CLOCK_DRIVER = "spirit:clockDriver";
const StringBase Spirit::CLOCK_NAME = "spirit:clockName";
const StringBase Spirit::CLOCK_PERIOD = "spirit:clockPeriod";
const StringBase Spirit::CLOCK_PULSE_VALUE = "spirit:clockPulseValue";
const StringBase Spirit::SINGLE_SHOT_DRIVER = "spirit:singleShotDriver";
const StringBase Spirit::SINGLE_SHOT_PULSE_VALUE = "spirit:singleShotValue";
const StringBase Spirit::DEFAULT_VALUE = "spirit:defaultValue";
const StringBase Spirit::FILE_SETS = "spirit:fileSets";
const StringBase Spirit::FILE_SET = "spirit:fileSet";
const StringBase Spirit::FILE_SET_ID = "spirit:fileSetId";
const StringBase Spirit::FILE_SET_REFERENCE = "spirit:fileSetRef";
const StringBase Spirit::FILE = "spirit:file";
const StringBase Spirit::FILE_ID = "spirit:fileId";
const StringBase Spirit::FILE_TYPE = "spirit:fileType";
const StringBase Spirit::GROUP = "spirit:group";
const StringBase Spirit::LOGICAL_NAME = "spirit:logicalName";
const StringBase Spirit::IS_INCLUDE_FILE = "spirit:isIncludeFile";
const StringBase Spirit::HIDDEN = "spirit:hidden";
const StringBase Spirit::VENDOR_EXTENSIONS = "spirit:vendorExtensions";

const StringBase Orvane::TAXONOMY = "orvane:taxonomy";
const StringBase Orvane::ARCHITECTURE = "orvane:architecture";
const StringBase Orvane::CORE_STATE = "orvane:core_state";
const StringBase Orvane::CORE_STATE_AVAILABLE = "AVAILABLE";
const StringBase Orvane::CORE_STATE_PREFERRED = "PREFERRED";
const StringBase Orvane::CUSTOMIZATION_TARGET = "orvane:customization_target";
const StringBase Orvane::CUSTOMIZER = "orvane:customizer";
const StringBase Orvane::CORE_MIXED_CASE_COMPONENT_NAME = "core_mixed_case_component_name";
const StringBase Orvane::OVERRIDE_DEVICE = "orvane:override_device";
const StringBase Orvane::OVERRIDE_PACKAGE = "orvane:override_package";
const StringBase Orvane::OVERRIDE_SPEEDGRADE = "orvane:override_speedgrade";
const StringBase Orvane::OVERRIDE_IMPLEMENTATION_FILE_TYPE =
    "orvane:override_implementation_file_type";
const StringBase Orvane::OVERRIDE_SIMULATION_FILES = "orvane:override_simulation_files";
const StringBase Orvane::README_FILE = "orvane:readme_file";
const StringBase Orvane::GETTING_STARTED_GUIDE = "orvane:getting_started_guide";
const StringBase Orvane::FORCE_STRUCTURAL_VHDL_MODEL = "orvane:force_structural_vhdl_model";
const StringBase Orvane::FORCE_STRUCTURAL_VERILOG_MODEL = "orvane:force_structural_verilog_model";
const StringBase Orvane::PROPERTY_OBSOLETE = "orvane:obsolete";
const StringBase Orvane::PROPERTY_STATUS = "orvane:status";

const StringBase Psf::REPOSITORY_CORE_DIRECTORY = "pcores";
const StringBase Psf::REPOSITORY_BOARD_DIRECTORY = "boards";
const StringBase Psf::REPOSITORY_DRIVER_DIRECTORY = "drivers";
const StringBase Psf::DATA_SUBDIRECTORY = "data";
const StringBase Psf::NETLIST_SUBDIRECTORY = "netlist";
const StringBase Psf::HDL_SUBDIRECTORY = "hdl";
const StringBase Psf::VHDL_SUBDIRECTORY = "vhdl";
const StringBase Psf::VERILOG_SUBDIRECTORY = "verilog";
const StringBase Psf::NAME = "NAME";
const StringBase Psf::VERSION = "VERSION";
const StringBase Psf::VALUE = "VALUE";
const StringBase Psf::DEFAULT_VALUE = "DEFAULT_VALUE";
const StringBase Psf::DESCRIPTION = "DESC";
const StringBase Psf::LONG_DESCRIPTION = "LONG_DESC";
const StringBase Psf::IP_GROUP = "IP_GROUP";
const StringBase Psf::ARCHITECTURE_SUPPORT_MAP = "ARCH_SUPPORT_MAP";
const StringBase Psf::DIRECTION = "DIR";
const StringBase Psf::DIRECTION_IN = "IN";
const StringBase Psf::DIRECTION_OUT = "OUT";
const StringBase Psf::DIRECTION_INOUT = "INOUT";
const StringBase Psf::VECTOR = "VEC";
const StringBase Psf::PARAMETER_DATA_TYPE = "DT";
const StringBase Psf::PARAMETER_DATA_TYPE_BIT = "bit";
const StringBase Psf::PARAMETER_DATA_TYPE_BIT_VECTOR = "bit_vector";
const StringBase Psf::PARAMETER_DATA_TYPE_INTEGER = "integer";
const StringBase Psf::PARAMETER_DATA_TYPE_REAL = "real";
const StringBase Psf::PARAMETER_DATA_TYPE_STRING = "string";
const StringBase Psf::PARAMETER_DATA_TYPE_STD_LOGIC = "std_logic";
const StringBase Psf::PARAMETER_DATA_TYPE_STD_LOGIC_VECTOR = "std_logic_vector";
const StringBase Psf::PARAMETER_RANGE = "RANGE";
const StringBase Psf::PARAMETER_VALUES = "VALUES";
const StringBase Psf::PARAMETER_TYPE = "TYPE";
const StringBase Psf::PARAMETER_TYPE_HDL = "HDL";
const StringBase Psf::PARAMETER_TYPE_NON_HDL = "NON_HDL";
const StringBase Psf::SIGIS = "SIGIS";
const StringBase Psf::SIGIS_CLK = "CLK";
const StringBase Psf::SIGIS_RST = "RST";
const StringBase Psf::SIGIS_CLK_ENABLE = "CLK_ENABLE";
const StringBase Psf::SIGIS_INTERRUPT = "INTERRUPT";
const StringBase Psf::SENSITIVITY = "SENSITIVITY";
const StringBase Psf::SENSITIVITY_LEVEL_LOW = "LEVEL_LOW";
const StringBase Psf::SENSITIVITY_LEVEL_HIGH = "LEVEL_HIGH";
const StringBase Psf::INITIAL_VALUE = "INITIALVAL";
const StringBase Psf::INITIAL_VALUE_GND = "GND";
const StringBase Psf::INITIAL_VALUE_VCC = "VCC";
const StringBase Psf::HDL_LIBRARY_PROPERTY = "LIBRARY";
const StringBase Psf::HDL_LANGUAGE_PROPERTY = "LANGUAGE";
const StringBase Psf::HDL_FILENAME_HEAD_PROPERTY = "FILENAME_HEAD";
const StringBase Psf::HDL_FILENAME_TAIL_PROPERTY = "FILENAME_TAIL";

// The XML model's separators are defined with their classes, in
// Mintu_XmlAttribute.cpp and Mintu_XmlElement.cpp.

}  // namespace Mintu
