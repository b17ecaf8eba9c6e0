#ifndef MINTU_VOCABULARY_H
#define MINTU_VOCABULARY_H
// The vocabulary of the tool's file formats as named constants, so that every
// program spells element names, keywords, file extensions and environment
// variable names alike. Each group is a struct used as a namespace.

#include "mintu/Mintu_Types.h"

namespace Mintu {

/// Names of environment variables the tool reads.
struct MINTU_API EnvVars {
  static const StringBase JAVA_TOOL_OPTIONS;
  static const StringBase ORV_MN_JAVA_MEMORY;

  EnvVars& operator=(const EnvVars&) = default;
};

/// Names and file extensions of the tool's own files.
struct MINTU_API Keyword {
  /// Status code of a fatal library failure (no operation of the library returns it).
  static const unsigned int LIBRARY_FATAL_ERROR = 1;
  static const StringBase DEBUG_LOG;
  static const StringBase PDF_FILE_EXTENSION;
  static const StringBase SPIRIT_FILE_EXTENSION;
  static const StringBase MINTARO_DEFAULT_PROJECT_NAME;
  static const StringBase MINTARO_PROJECT_DESIGN_FILE_EXTENSION;
  static const StringBase MINTARO_PROJECT_CONFIGURATION_FILE_EXTENSION;

  Keyword& operator=(const Keyword&) = default;
};

/// File extensions and keys of the former project and core files.
struct MINTU_API Legacy {
  static const StringBase DEPRECATED_PROJECT_FILE_EXTENSION;
  static const StringBase PROJECT_FILE_EXTENSION;
  static const StringBase DEPRECATED_CORE_FILE_EXTENSION;
  static const StringBase CORE_FILE_EXTENSION;
  static const StringBase QUILLAR_FILE_EXTENSION;
  static const StringBase COMPONENT_NAME;
  static const StringBase INTERNAL_MODULE_NAME;
  static const StringBase TOP_LEVEL_COMPONENTS;
  static const StringBase WIRE_TYPE_NET;
  static const StringBase WIRE_TYPE_BUS;
  static const StringBase LANGUAGE_SCHEMATIC;
  static const StringBase LANGUAGE_ADVANCED;
  static const StringBase LANGUAGE_VHDL_AND_VERILOG;

  Legacy& operator=(const Legacy&) = default;
};

/// SPIRIT (IP-XACT 1.4) component files: namespaces, element names and fixed values.
struct MINTU_API Spirit {
  static const StringBase SPIRIT_NAMESPACE;
  static const StringBase SPIRIT_INDEX_SCHEMA;
  static const StringBase LOCAL_NAMESPACE;
  static const StringBase LOCAL_INDEX_SCHEMA;
  static const StringBase ORVANE_NAMESPACE;
  static const StringBase HTTP_NAMESPACE;
  static const StringBase VENDOR;
  static const StringBase LIBRARY;
  static const StringBase NAME;
  static const StringBase VERSION;
  static const StringBase DISPLAY_NAME;
  static const StringBase DESCRIPTION;
  static const StringBase VALUE;
  static const StringBase ID;
  static const StringBase DEPENDENCY;
  static const StringBase RESOLVE;
  static const StringBase RESOLVE_IMMEDIATE;
  static const StringBase RESOLVE_USER;
  static const StringBase RESOLVE_DEPENDENT;
  static const StringBase RESOLVE_GENERATED;
  static const StringBase COMPONENT;
  static const StringBase CHOICES;
  static const StringBase CHOICE;
  static const StringBase ENUMERATION;
  static const StringBase TEXT;
  static const StringBase HELP;
  static const StringBase PARAMETERS;
  static const StringBase PARAMETER;
  static const StringBase MODEL;
  static const StringBase VIEWS;
  static const StringBase VIEW;
  static const StringBase MODEL_NAME;
  static const StringBase HIERARCHY_REFERENCE;
  static const StringBase LANGUAGE;
  static const StringBase LANGUAGE_VHDL_EXTENSION;
  static const StringBase LANGUAGE_VERILOG_EXTENSION;
  static const StringBase LANGUAGE_VHDL;
  static const StringBase LANGUAGE_VERILOG;
  static const StringBase ENVIRONMENT_IDENTIFIER;
  static const StringBase ENVIRONMENT_SIMULATION;
  static const StringBase ENVIRONMENT_SYNTHESIS;
  static const StringBase ENVIRONMENT_ALL;
  static const StringBase MODEL_PARAMETERS;
  static const StringBase MODEL_PARAMETER;
  static const StringBase PORTS;
  static const StringBase PORT;
  static const StringBase WIRE;
  static const StringBase VECTOR;
  static const StringBase VECTOR_LEFT;
  static const StringBase VECTOR_RIGHT;
  static const StringBase DIRECTION;
  static const StringBase DIRECTION_IN;
  static const StringBase DIRECTION_OUT;
  static const StringBase DIRECTION_INOUT;
  static const StringBase DIRECTION_PHANTOM;
  static const StringBase FORMAT;
  static const StringBase FORMAT_BITSTRING;
  static const StringBase FORMAT_BOOL;
  static const StringBase FORMAT_LONG;
  static const StringBase FORMAT_FLOAT;
  static const StringBase FORMAT_STRING;
  static const StringBase FORMAT_CHOICE;
  static const StringBase CHOICE_REFERENCE;
  static const StringBase DATA_TYPE;
  static const StringBase HDL_TYPE_BIT;
  static const StringBase HDL_TYPE_INTEGER;
  static const StringBase HDL_TYPE_REAL;
  static const StringBase HDL_TYPE_STRING;
  static const StringBase VHDL_TYPE_BIT_VECTOR;
  static const StringBase VHDL_TYPE_STD_LOGIC;
  static const StringBase VHDL_TYPE_STD_LOGIC_VECTOR;
  static const StringBase VERILOG_TYPE_BIT_VECTOR;
  static const StringBase DRIVER;
  static const StringBase CLOCK_DRIVER;
  static const StringBase CLOCK_NAME;
  static const StringBase CLOCK_PERIOD;
  static const StringBase CLOCK_PULSE_VALUE;
  static const StringBase SINGLE_SHOT_DRIVER;
  static const StringBase SINGLE_SHOT_PULSE_VALUE;
  static const StringBase DEFAULT_VALUE;
  static const StringBase FILE_SETS;
  static const StringBase FILE_SET;
  static const StringBase FILE_SET_ID;
  static const StringBase FILE_SET_REFERENCE;
  static const StringBase FILE;
  static const StringBase FILE_ID;
  static const StringBase FILE_TYPE;
  static const StringBase GROUP;
  static const StringBase LOGICAL_NAME;
  static const StringBase IS_INCLUDE_FILE;
  static const StringBase HIDDEN;
  static const StringBase VENDOR_EXTENSIONS;

  Spirit& operator=(const Spirit&) = default;
};

/// Orvane vendor extensions inside SPIRIT component files.
struct MINTU_API Orvane {
  static const StringBase TAXONOMY;
  static const StringBase ARCHITECTURE;
  static const StringBase CORE_STATE;
  static const StringBase CORE_STATE_AVAILABLE;
  static const StringBase CORE_STATE_PREFERRED;
  static const StringBase CUSTOMIZATION_TARGET;
  static const StringBase CUSTOMIZER;
  static const StringBase CORE_MIXED_CASE_COMPONENT_NAME;
  static const StringBase OVERRIDE_DEVICE;
  static const StringBase OVERRIDE_PACKAGE;
  static const StringBase OVERRIDE_SPEEDGRADE;
  static const StringBase OVERRIDE_IMPLEMENTATION_FILE_TYPE;
  static const StringBase OVERRIDE_SIMULATION_FILES;
  static const StringBase README_FILE;
  static const StringBase GETTING_STARTED_GUIDE;
  static const StringBase FORCE_STRUCTURAL_VHDL_MODEL;
  static const StringBase FORCE_STRUCTURAL_VERILOG_MODEL;
  static const StringBase PROPERTY_OBSOLETE;
  static const StringBase PROPERTY_STATUS;

  Orvane& operator=(const Orvane&) = default;
};

/// PSF description keywords and the directories of a core repository.
struct MINTU_API Psf {
  static const StringBase REPOSITORY_CORE_DIRECTORY;
  static const StringBase REPOSITORY_BOARD_DIRECTORY;
  static const StringBase REPOSITORY_DRIVER_DIRECTORY;
  static const StringBase DATA_SUBDIRECTORY;
  static const StringBase NETLIST_SUBDIRECTORY;
  static const StringBase HDL_SUBDIRECTORY;
  static const StringBase VHDL_SUBDIRECTORY;
  static const StringBase VERILOG_SUBDIRECTORY;
  static const StringBase NAME;
  static const StringBase VERSION;
  static const StringBase VALUE;
  static const StringBase DEFAULT_VALUE;
  static const StringBase DESCRIPTION;
  static const StringBase LONG_DESCRIPTION;
  static const StringBase IP_GROUP;
  static const StringBase ARCHITECTURE_SUPPORT_MAP;
  static const StringBase DIRECTION;
  static const StringBase DIRECTION_IN;
  static const StringBase DIRECTION_OUT;
  static const StringBase DIRECTION_INOUT;
  static const StringBase VECTOR;
  static const StringBase PARAMETER_DATA_TYPE;
  static const StringBase PARAMETER_DATA_TYPE_BIT;
  static const StringBase PARAMETER_DATA_TYPE_BIT_VECTOR;
  static const StringBase PARAMETER_DATA_TYPE_INTEGER;
  static const StringBase PARAMETER_DATA_TYPE_REAL;
  static const StringBase PARAMETER_DATA_TYPE_STRING;
  static const StringBase PARAMETER_DATA_TYPE_STD_LOGIC;
  static const StringBase PARAMETER_DATA_TYPE_STD_LOGIC_VECTOR;
  static const StringBase PARAMETER_RANGE;
  static const StringBase PARAMETER_VALUES;
  static const StringBase PARAMETER_TYPE;
  static const StringBase PARAMETER_TYPE_HDL;
  static const StringBase PARAMETER_TYPE_NON_HDL;
  static const StringBase SIGIS;
  static const StringBase SIGIS_CLK;
  static const StringBase SIGIS_RST;
  static const StringBase SIGIS_CLK_ENABLE;
  static const StringBase SIGIS_INTERRUPT;
  static const StringBase SENSITIVITY;
  static const StringBase SENSITIVITY_LEVEL_LOW;
  static const StringBase SENSITIVITY_LEVEL_HIGH;
  static const StringBase INITIAL_VALUE;
  static const StringBase INITIAL_VALUE_GND;
  static const StringBase INITIAL_VALUE_VCC;
  static const StringBase HDL_LIBRARY_PROPERTY;
  static const StringBase HDL_LANGUAGE_PROPERTY;
  static const StringBase HDL_FILENAME_HEAD_PROPERTY;
  static const StringBase HDL_FILENAME_TAIL_PROPERTY;

  Psf& operator=(const Psf&) = default;
};

}  // namespace Mintu

#endif  // MINTU_VOCABULARY_H
