package com.kestro.runtime.internal;

import java.lang.reflect.Method;

/**
 * The application's named module, when the launcher starts one: the VM was given the
 * module path and the main module as {@code java -m} gives them, while this library stays
 * on the class path (the unnamed module). Java 9's module API is reached through
 * reflection, since the library is compiled for Java 8.
 */
final class ModularMain {
    /** The main module, which the launcher sets as the VM's option. */
    static final String MAIN_MODULE_PROPERTY = "jdk.module.main";

    private ModularMain() {
    }

    /** The main module's name; null when the application is no modular one. */
    static String mainModule() {
        String module = System.getProperty(MAIN_MODULE_PROPERTY);
        return module == null || module.isEmpty() ? null : module;
    }

    /**
     * The main class that the module's descriptor names (what {@code jar --main-class}
     * records for a modular jar); null when it names none or the module is not in the
     * boot layer.
     */
    static String descriptorMainClass(String module) {
        try {
            Class<?> layerClass = Class.forName("java.lang.ModuleLayer");
            Object boot = layerClass.getMethod("boot").invoke(null);
            Object found = present(layerClass.getMethod("findModule", String.class).invoke(boot, module));
            if (found == null) {
                return null;
            }
            Object descriptor = found.getClass().getMethod("getDescriptor").invoke(found);
            Object mainClass = present(descriptor.getClass().getMethod("mainClass").invoke(descriptor));
            return mainClass == null ? null : mainClass.toString();
        } catch (Exception e) {
            return null;
        }
    }

    // The value of an Optional, or null; through reflection, as the class library of a
    // Java 8 build (and of the VM that checks this library) need not have Optional.
    private static Object present(Object optional) throws Exception {
        return optional.getClass().getMethod("orElse", Object.class).invoke(optional, (Object) null);
    }

    /**
     * Opens the main class's package to this library and lets the class's module read
     * the library, when the class is in a named module. The java command calls main
     * through JNI, which checks no access; a call by reflection from the unnamed module
     * is refused for a package the module does not export, which an application's main
     * package seldom is. Opened rather than only exported, so that a main class that is
     * not public can be called too, as the java command calls it. The application's
     * module then reaches the library's public API (InstanceHandover) as well. The
     * launcher exports jdk.internal.module to the unnamed module for this; without that,
     * or on Java 8, nothing changes and the access check of the call decides.
     */
    static void openToLibrary(Class<?> mainClass) {
        try {
            Method getModule = Class.class.getMethod("getModule");
            Object module = getModule.invoke(mainClass);
            Object library = getModule.invoke(ModularMain.class);
            Class<?> moduleClass = module.getClass();
            if (!(Boolean) moduleClass.getMethod("isNamed").invoke(module)) {
                return;
            }
            String name = mainClass.getName();
            String packageName = name.lastIndexOf('.') < 0 ? "" : name.substring(0, name.lastIndexOf('.'));
            Class<?> modules = Class.forName("jdk.internal.module.Modules");
            if (!(Boolean) moduleClass.getMethod("isOpen", String.class, moduleClass).invoke(module, packageName,
                    library)) {
                modules.getMethod("addOpens", moduleClass, String.class, moduleClass).invoke(null, module,
                        packageName, library);
            }
            modules.getMethod("addReads", moduleClass, moduleClass).invoke(null, module, library);
        } catch (Exception e) {
            // Left to the access check of the call.
        }
    }
}
