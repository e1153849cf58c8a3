package com.kestro.runtime.internal;

import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/** Finds and calls the application's main method. */
final class MainMethod {
    private static final String DEFINE_MAIN = "please define the main method as:\n"
            + "   public static void main(String[] args)";

    private MainMethod() {
    }

    /**
     * The {@code public static void main(String[])} of the named class, loaded (not yet
     * initialised) through the thread's context class loader, else the system class
     * loader. An empty name in a modular application (see {@link ModularMain}) is the class
     * that the main module's descriptor names. When the class cannot be loaded or has no
     * such method, writes what the {@code java} command says in that case to {@code err}
     * and throws
     * {@link LaunchFailure} with the launcher's message for it.
     */
    static Method find(String className, PrintStream err) {
        String module = ModularMain.mainModule();
        if (className.isEmpty() && module != null) {
            // A modular application given by its module alone, as with java -m module.
            className = ModularMain.descriptorMainClass(module);
            if (className == null) {
                throw fail(err, LaunchFailure.MAIN_CLASS_NOT_LOADED, "Error: Module " + module
                        + " does not have a ModuleMainClass attribute, use -m <module>/<main-class>");
            }
        }
        String name = className.replace('/', '.');
        ClassLoader loader = Thread.currentThread().getContextClassLoader();
        if (loader == null) {
            loader = ClassLoader.getSystemClassLoader();
        }
        Class<?> mainClass;
        try {
            mainClass = Class.forName(name, false, loader);
        } catch (ClassNotFoundException e) {
            // Named as java names it, dotted, whatever form the class library's message has.
            throw fail(err, LaunchFailure.MAIN_CLASS_NOT_LOADED, "Error: Could not find or load main class " + name
                    + "\nCaused by: " + e.getClass().getName() + ": " + name);
        } catch (LinkageError e) {
            // A class that needs a missing one (NoClassDefFoundError), or one the runtime
            // cannot take (UnsupportedClassVersionError): java names the cause.
            throw fail(err, LaunchFailure.MAIN_CLASS_NOT_LOADED, "Error: Could not find or load main class " + name
                    + "\nCaused by: " + e.getClass().getName() + ": " + e.getMessage());
        }
        if (module != null) {
            ModularMain.openToLibrary(mainClass);
        }
        Method main;
        try {
            main = mainClass.getMethod("main", String[].class);
        } catch (NoSuchMethodException e) {
            throw fail(err, LaunchFailure.MAIN_METHOD_NOT_FOUND,
                    "Error: Main method not found in class " + name + ", " + DEFINE_MAIN);
        } catch (LinkageError e) {
            // A method's types that cannot be resolved.
            throw fail(err, LaunchFailure.MAIN_CLASS_NOT_LOADED, "Error: Could not find or load main class " + name
                    + "\nCaused by: " + e.getClass().getName() + ": " + e.getMessage());
        }
        if (!Modifier.isStatic(main.getModifiers())) {
            throw fail(err, LaunchFailure.MAIN_METHOD_NOT_FOUND,
                    "Error: Main method is not static in class " + name + ", " + DEFINE_MAIN);
        }
        if (main.getReturnType() != void.class) {
            throw fail(err, LaunchFailure.MAIN_METHOD_NOT_FOUND,
                    "Error: Main method must return a value of type void in class " + name + ", " + DEFINE_MAIN);
        }
        // A main class need not be public; the VM's own launchers accept that too.
        try {
            main.setAccessible(true);
        } catch (RuntimeException e) {
            // Left to the access check of invoke.
        }
        return main;
    }

    /**
     * Calls {@code main} with {@code args}. What main throws is rethrown as it is, not
     * wrapped, so that the launcher describes the application's own exception.
     */
    static void invoke(Method main, String[] args, PrintStream err) {
        try {
            main.invoke(null, (Object) args);
        } catch (InvocationTargetException e) {
            throw MainMethod.<RuntimeException>rethrow(e.getCause() != null ? e.getCause() : e);
        } catch (IllegalAccessException e) {
            throw fail(err, LaunchFailure.MAIN_METHOD_NOT_FOUND, "Error: Main method of class "
                    + main.getDeclaringClass().getName() + " cannot be called: " + e.getMessage());
        }
    }

    // Line by line, so that each ends as the system's lines do.
    private static LaunchFailure fail(PrintStream err, int messageId, String text) {
        for (String line : text.split("\n")) {
            err.println(line);
        }
        err.flush();
        return new LaunchFailure(messageId, text);
    }

    // Throws any exception, checked or not, without declaring it.
    @SuppressWarnings("unchecked")
    private static <T extends Throwable> RuntimeException rethrow(Throwable t) throws T {
        throw (T) t;
    }
}
