package org.kestro.maven;

import java.io.File;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.List;
import java.util.Map;

import org.apache.maven.plugin.MojoFailureException;
import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.plugins.annotations.ResolutionScope;

/**
 * Builds the project's Windows Installer package: the launcher of the launcher goal, with
 * what the configuration file's [package] table names (and [signing], when it is there),
 * put in target/finalName.msi by kestro package, and attached to the project as an msi.
 * The configuration file must have a [package] table; on Windows the tool writes the WiX
 * source instead.
 */
@Mojo(name = "package", defaultPhase = LifecyclePhase.PACKAGE, requiresDependencyResolution = ResolutionScope.RUNTIME,
      threadSafe = true)
public class PackageMojo extends LauncherMojo {
    /** The package to write. */
    @Parameter(property = "kestro.package", defaultValue = "${project.build.directory}/${project.build.finalName}.msi")
    private File packageFile;

    @Override
    File target() {
        return packageFile;
    }

    @Override
    String artifactType() {
        return "msi";
    }

    @Override
    boolean attaches() {
        return true;
    }

    /**
     * Dependencies copied beside the launcher (dependencies = beside) are installed beside it
     * too, in lib/, after the files the configuration names.
     */
    @Override
    void complete(LauncherConfig.Result config) throws MojoFailureException {
        TomlTable pkg = config.config.table("package");
        if (pkg == null) {
            throw new MojoFailureException("kestro: the package goal needs a configFile with a [package] table"
                    + " (product name, manufacturer, upgrade_code; see docs/packaging.md)");
        }
        if (config.beside.isEmpty()) return;
        Object existing = pkg.get("files");
        TomlTable.TableArray files = new TomlTable.TableArray();
        if (existing instanceof List) files.addAll((List<?>) existing);
        for (Map.Entry<String, Path> jar : config.beside.entrySet()) {
            TomlTable file = new TomlTable(TomlTable.Origin.ADDED, 0);
            file.put("source", jar.getValue().toString(), 0);
            file.put("target", LauncherConfig.LIB + "/" + jar.getKey(), 0);
            files.add(file);
        }
        pkg.put("files", files, pkg.line("files"));
    }

    @Override
    List<String> command(Path tool, Path config, Path target) {
        return Arrays.asList(tool.toString(), "package", config.toString(), "-o", target.toString());
    }
}
